#pragma once
// The running engine every fuzz harness loads its input through: an offscreen Qt application, a
// temporary program folder holding the hand-written content, a core whose error boxes are swallowed
// and whose log goes nowhere, and on request the visual module drawing into the GL recorder, set
// up as the world's unit tests set it up. Made once per harness process and never taken down:
// libFuzzer ends the process itself. No display is needed.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

class GLRecorder;

class FuzzEngine {
public:
    enum class Parts { Core, Visual };

    // The one engine of this process, made on first use.
    static FuzzEngine& get(Parts parts);

    // Writes exactly these bytes to relativePath ("/"-separated) under the program folder.
    void writeFile(const std::string& relativePath, const std::uint8_t* data, std::size_t size) const;
    void writeFile(const std::string& relativePath, std::string_view bytes) const;
    // Forgets what one input left behind in memory: log lines and recorded GL calls.
    void endInput();

    const std::filesystem::path& programFolder() const { return folder_; }
    GLRecorder* gl() const { return gl_; }

private:
    explicit FuzzEngine(Parts parts);
    void startVisual();

    std::filesystem::path folder_;
    GLRecorder* gl_ = nullptr;
};
