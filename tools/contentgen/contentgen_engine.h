#pragma once
// An engine core for the parts of the generator that write files through the engine's own classes
// (models, area files): a private program folder in /tmp (its log goes there), content looked up in
// the given folders first, no visual module, so nothing needs OpenGL. Every error box the engine
// would show fails the run.

#include "core/qr_core_messagebox.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QRCOREMain;
class QWidget;

namespace cg {

class EngineSession {
public:
    explicit EngineSession(const std::vector<std::string>& lookupFolders);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    bool failed() const { return failed_; }
    // Where files the engine creates by a relative name end up when no lookup path has them.
    const std::filesystem::path& programFolder() const { return folder_; }

private:
    std::filesystem::path folder_;
    QRMessagePresenter previous_;
    std::unique_ptr<QWidget> mainForm_;
    QRCOREMain* core_ = nullptr;
    bool failed_ = false;
};

} // namespace cg
