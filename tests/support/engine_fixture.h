#pragma once
// A running engine core in a temporary program folder, with message boxes captured instead of
// shown. The core is initialised, so every module is up; the main form is a plain hidden widget.

#include "temp_folder.h"

#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class QWidget;

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture();
    ~EngineFixture() override;

    QRCOREMain& core() { return *core_; }
    const TempFolder& programFolder() const { return folder_; }
    // Destroys the core now (the log file is complete afterwards).
    void shutDownCore();
    // The log file as written so far.
    std::string logText() const;
    // The texts of the message boxes shown so far.
    const std::vector<std::string>& shownBoxes() const { return *boxes_; }

private:
    TempFolder folder_;
    std::unique_ptr<QWidget> mainForm_;
    std::shared_ptr<std::vector<std::string>> boxes_ = std::make_shared<std::vector<std::string>>();
    QRMessagePresenter previousPresenter_;
    QRCOREMain* core_ = nullptr;
};
