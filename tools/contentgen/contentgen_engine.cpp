#include "contentgen_engine.h"

#include "core/qr_core_main.h"
#include "core/qr_core_programfolder.h"
#include "file/qr_file_main.h"
#include "file/qr_file_pathmanager.h"

#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace cg {

EngineSession::EngineSession(const std::vector<std::string>& lookupFolders)
{
    char pattern[] = "/tmp/kipster-contentgen-XXXXXX";
    if (!mkdtemp(pattern)) {
        failed_ = true;
        return;
    }
    folder_ = pattern;
    qrSetProgramFolder(folder_);
    previous_ = qrSetMessagePresenter([this](QRMessageKind, const std::string& text) {
        std::fprintf(stderr, "contentgen: engine error: %s\n", text.c_str());
        failed_ = true;
    });
    // The engine wants a widget for its main form, which the offscreen platform gives without a
    // window system.
    mainForm_ = std::make_unique<QWidget>();
    core_ = qrNew<QRCOREMain>(mainForm_.get(), 2).release();
    core_->initialize();
    for (const std::string& folder : lookupFolders)
        qrFile()->getPathManager()->addLookupPath(folder);
}

EngineSession::~EngineSession()
{
    if (core_)
        QRDestroy()(core_);
    mainForm_.reset();
    if (!folder_.empty()) {
        qrSetMessagePresenter(previous_);
        qrSetProgramFolder({});
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

} // namespace cg
