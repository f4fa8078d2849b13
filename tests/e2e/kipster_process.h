#pragma once
// The real kipster executable, started in a fresh copy of the program folder on the test's X
// server, with helpers to wait for its log, find its main window and end it.

#include "temp_folder.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class KipsterProcess {
public:
    // Copies the built program folder; prepare() may then change files before start().
    KipsterProcess();
    // Lets fill make the program folder instead (unpacking the download into it, say).
    explicit KipsterProcess(const std::function<void(const std::filesystem::path& folder)>& fill);
    ~KipsterProcess();

    const TempFolder& folder() const { return folder_; }
    // May be called again once the previous run has ended.
    void start();
    std::string log() const { return folder_.read("log.html"); }

    // Polls until condition holds or the timeout passes; returns whether it held.
    static bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    bool waitForLog(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // The main window titled "Kipster" ("Kipster*" with unsaved edits), waiting for it to appear;
    // 0 when it never does.
    std::uint64_t waitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Gives the main window the keyboard focus (the program runs frames only while it has it).
    static bool focusMainWindow();
    // Types one key (an xdotool key name such as "F5") into the focused window.
    static bool typeKey(const std::string& key);
    // Waits for the message box titled title, gives it the keyboard and types key into it.
    static bool answerBox(const std::string& title, const std::string& key, std::chrono::milliseconds timeout);
    // CPU time the process has used so far, in clock ticks.
    long cpuTicks() const;
    // The exit code once the process has ended within the timeout; nothing otherwise.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    bool isRunning();
    // Ends the process at once (SIGKILL), as a crash or a power cut would.
    void killNow();

private:
    TempFolder folder_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};
