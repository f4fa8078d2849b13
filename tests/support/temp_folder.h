#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes a file (creating its folders) with exactly these bytes.
    void write(const std::string& relativePath, const std::string& bytes) const;
    std::string read(const std::string& relativePath) const;

private:
    std::filesystem::path path_;
};

std::string readWholeFile(const std::filesystem::path& path);
