#include "engine_fixture.h"

#include "core/qr_core_programfolder.h"

#include <QWidget>

EngineFixture::EngineFixture() : mainForm_(std::make_unique<QWidget>())
{
    qrSetProgramFolder(folder_.path());
    previousPresenter_ = qrSetMessagePresenter(
        [boxes = boxes_](QRMessageKind, const std::string& text) { boxes->push_back(text); });
    core_ = qrNew<QRCOREMain>(mainForm_.get(), 2).release();
    core_->initialize();
}

EngineFixture::~EngineFixture()
{
    shutDownCore();
    qrSetMessagePresenter(previousPresenter_);
    qrSetProgramFolder({});
}

void EngineFixture::shutDownCore()
{
    if (core_)
        QRDestroy()(core_);
    core_ = nullptr;
}

std::string EngineFixture::logText() const
{
    return folder_.read("log.html");
}
