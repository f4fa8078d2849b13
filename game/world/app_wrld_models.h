#pragma once
// The environment model list: every model of the game and the editor is asked for here by name or
// path, loaded once (with static vertex buffers) and shared by all who draw it. The models named
// in "models\models.ini" are loaded at start-up. Owned by the world; it owns the models and keeps
// them until it goes.

#include "core/qr_core_object.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QRVISXModel;

class APPWRLDModels : public QRObject {
public:
    static constexpr const char* kListFile = "models\\models.ini";

    explicit APPWRLDModels(QRObject* owner);
    ~APPWRLDModels() override;

    // Loads the models of the list file.
    void initialize() override;
    // Loads every model named in the section "MODELS" of the ini file, in file order. A missing
    // list is only logged: models are then loaded when first asked for. Entries naming files that
    // do not exist are reported together in one error.
    void loadList(const std::string& path);
    // The loaded model whose name (as stored in its file) or file name is nameOrPath, ignoring
    // letter case and the kind of path separator; otherwise the model loaded from that path.
    // Null when there is no such model. A path that failed is tried (and reported) again only
    // once its file changed: it appeared, or was written anew.
    QRVISXModel* getModel(std::string_view nameOrPath);
    // Loads the model file at path and keeps it; null (reported) for a missing, unreadable or empty
    // file and for paths that leave the program folder.
    QRVISXModel* loadModel(const std::string& path);

    int getModelCount() const { return static_cast<int>(models_.size()); }
    // Null outside 0..count-1.
    QRVISXModel* getModelAt(int index) const;

private:
    // How paths are compared: "\" separators, no leading separator, lower case.
    static std::string comparable(std::string_view path);
    // Absolute paths and ".." steps could reach files outside the content.
    static bool staysInProgramFolder(std::string_view path);
    // What the file at a path looked like: whether it existed, when it was written, its size.
    struct FileStamp {
        bool exists = false;
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const std::string& path);
    // Failed before, and the file is still as it was then.
    bool hasFailed(const std::string& comparablePath, const std::string& path) const;
    void markFailed(const std::string& comparablePath, const std::string& path);

    std::vector<QROwned<QRVISXModel>> models_;
    // Comparable paths that could not be loaded, with their files as they were then; asked for
    // again unchanged, they give null quietly.
    std::unordered_map<std::string, FileStamp> failed_;
};
