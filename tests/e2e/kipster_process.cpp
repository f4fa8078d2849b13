#include "kipster_process.h"

#include "x11_window.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

KipsterProcess::KipsterProcess()
    : KipsterProcess([](const std::filesystem::path& folder) {
          std::filesystem::copy(KIPSTER_PROGRAM_FOLDER, folder,
                                std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
          // A game played by hand in the program folder is no part of what a test starts from:
          // neither its progress nor its log, which a test would read before the new one is written.
          std::filesystem::remove(folder / "progress.sav");
          std::filesystem::remove(folder / "log.html");
      })
{
}

KipsterProcess::KipsterProcess(const std::function<void(const std::filesystem::path& folder)>& fill)
{
    fill(folder_.path());
}

KipsterProcess::~KipsterProcess()
{
    if (isRunning()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void KipsterProcess::start()
{
    // Starting again after an exit runs the program once more on the same folder.
    exitCode_.reset();
    // Test machines have no sound card: OpenAL Soft mixes into nothing unless a test has written
    // a configuration of its own (a wave file to capture, say) before starting.
    if (!std::filesystem::exists(folder_ / "alsoft.conf"))
        folder_.write("alsoft.conf", "[general]\ndrivers=null\n");
    setenv("ALSOFT_CONF", (folder_ / "alsoft.conf").c_str(), 1);
    const std::string executable = (folder_.path() / "kipster").string();
    char* argv[] = {const_cast<char*>(executable.c_str()), nullptr};
    if (posix_spawn(&pid_, executable.c_str(), nullptr, nullptr, argv, environ) != 0)
        throw std::runtime_error("cannot start " + executable);
}

bool KipsterProcess::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

bool KipsterProcess::waitForLog(const std::string& text, std::chrono::milliseconds timeout)
{
    return waitFor([&] { return log().find(text) != std::string::npos; }, timeout);
}

std::uint64_t KipsterProcess::waitForMainWindow(std::chrono::milliseconds timeout)
{
    std::uint64_t window = 0;
    waitFor(
        [&] {
            window = x11::findWindowByTitle("Kipster");
            return window != 0 || (window = x11::findWindowByTitle("Kipster*")) != 0;
        },
        timeout);
    return window;
}

bool KipsterProcess::focusMainWindow()
{
    // Only the viewable one: an unmapped 1x1 window carries the title too and cannot take the focus.
    return waitFor(
        [] { return std::system("xdotool search --onlyvisible --name '^Kipster\\*?$' windowfocus 2>/dev/null") == 0; },
        std::chrono::seconds(10));
}

bool KipsterProcess::typeKey(const std::string& key)
{
    return std::system(("xdotool key " + key).c_str()) == 0;
}

bool KipsterProcess::answerBox(const std::string& title, const std::string& key, std::chrono::milliseconds timeout)
{
    const std::string focus = "xdotool search --onlyvisible --name '^" + title + "$' windowfocus 2>/dev/null";
    if (!waitFor([&] { return std::system(focus.c_str()) == 0; }, timeout))
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return typeKey(key);
}

long KipsterProcess::cpuTicks() const
{
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the parenthesised command name: state is field 3, utime 14, stime 15.
    std::istringstream fields(content.substr(content.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            utime = std::stol(field);
        if (index == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

bool KipsterProcess::isRunning()
{
    if (pid_ <= 0 || exitCode_)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void KipsterProcess::killNow()
{
    if (!isRunning())
        return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    exitCode_ = 128 + SIGKILL;
}

std::optional<int> KipsterProcess::waitForExit(std::chrono::milliseconds timeout)
{
    waitFor([&] { return !isRunning(); }, timeout);
    return exitCode_;
}
