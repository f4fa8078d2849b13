#pragma once
// The engine's ini files: "[Section]" lines, "Key = Value" lines and lines of a single value,
// which are numbered within their section. Read by the settings and the model list, written by
// tools. Owned by whoever loads it. The first occurrence of a key wins; sections, keys and values
// are matched without regard to letter case.

#include "resource/qr_resc_main.h"

#include <string>

class QRRESCStringList;

class QRRESCIniFile : public QRRESCMain {
public:
    explicit QRRESCIniFile(QRObject* owner);
    // Loads path right after construction.
    QRRESCIniFile(QRObject* owner, const std::string& path);
    ~QRRESCIniFile() override;

    void afterCreate() override;

    // Empties keys and values; the section names stay.
    void clear() override;
    bool isEmpty() const override;

    // With an empty section, key is the full "Section.Key".
    std::string readString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // A stored value that is no number reports the conversion error and reads as 0.
    int readInt(const std::string& section, const std::string& key, int defaultValue) const;
    bool readBool(const std::string& section, const std::string& key, bool defaultValue) const;
    // The values of the section in stored order.
    void readSection(const std::string& section, QRRESCStringList& list) const;

    void addSection(const std::string& section);
    // Stored only under a known section and when the key is new.
    void writeValue(const std::string& section, const std::string& key, const std::string& value);
    // Stored under the next number of the section.
    void appendValue(const std::string& section, const std::string& value);
    int countKeys(const std::string& section) const;

    // A missing file loads silently as empty.
    void loadFromFile(const std::string& path) override;
    void saveToFile(const std::string& path) override;

    const QRRESCStringList& getSections() const { return *sections_; }

private:
    // The key's name inside section when it belongs to it, else empty.
    static std::string nameInSection(const std::string& fullKey, const std::string& section);
    int findKey(const std::string& section, const std::string& key) const;

    QROwned<QRRESCStringList> sections_;
    QROwned<QRRESCStringList> keys_;
    QROwned<QRRESCStringList> values_;
    std::string pendingPath_;
};
