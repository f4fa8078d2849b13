#pragma once
// The engine's ordered string list: unique or not, with or without empty strings; lookups ignore
// letter case. Loads from and saves to text files (one string a line) and binary streams.

#include "resource/qr_resc_main.h"

#include <string>
#include <vector>

class QRRESCStringList : public QRRESCMain {
public:
    QRRESCStringList(QRObject* owner, bool allowDuplicates, bool allowEmpty);
    // Loads the text file at path right after construction.
    QRRESCStringList(QRObject* owner, const std::string& path);

    void afterCreate() override;

    void add(const std::string& text);
    void addAll(const QRRESCStringList& list);
    void clear() override { strings_.clear(); }
    bool isEmpty() const override { return strings_.empty(); }

    // Throws std::out_of_range "List index out of bounds" outside 0..count-1.
    const std::string& get(int index) const;
    int indexOf(const std::string& text) const;
    bool contains(const std::string& text) const { return indexOf(text) >= 0; }
    int getCount() const { return static_cast<int>(strings_.size()); }
    int getLastIndex() const { return getCount() - 1; }

    void setAllowDuplicates(bool allow) { allowDuplicates_ = allow; }
    bool getAllowDuplicates() const { return allowDuplicates_; }
    void setAllowEmpty(bool allow) { allowEmpty_ = allow; }
    bool getAllowEmpty() const { return allowEmpty_; }

    void saveToFile(const std::string& path) override;
    void loadFromFile(const std::string& path) override;
    // Binary files hold a 32-bit count and the strings; text files one string a line, read to the end.
    void saveToStream(QRFILEFile& file) override;
    void loadFromStream(QRFILEFile& file) override;
    void assign(const QRObject& source) override;

    auto begin() const { return strings_.begin(); }
    auto end() const { return strings_.end(); }

private:
    std::vector<std::string> strings_;
    bool allowDuplicates_ = true;
    bool allowEmpty_ = true;
    std::string pendingPath_;
};
