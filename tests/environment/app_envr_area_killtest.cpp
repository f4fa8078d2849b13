// Saving the world survives the program being killed at any moment: afterwards each area file is
// either the one from before the save or the one the save wrote, whole, and the next start loads
// the world without an error and removes what the cut-off save left behind. The program killed is
// area_save_driver, which loads and saves the world through the game's own classes.

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 100;

std::vector<std::string> areaNames()
{
    std::vector<std::string> names;
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az)
            names.push_back("area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world");
    return names;
}

// One run of the driver with its standard output on a pipe.
class DriverRun {
public:
    explicit DriverRun(const std::vector<std::string>& arguments)
    {
        int channel[2];
        if (pipe(channel) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(channel[1], STDOUT_FILENO);
            close(channel[0]);
            close(channel[1]);
            std::vector<char*> argv;
            static std::string program = AREA_SAVE_DRIVER;
            argv.push_back(program.data());
            std::vector<std::string> copies = arguments;
            for (std::string& argument : copies)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(channel[1]);
        output_ = channel[0];
    }
    ~DriverRun()
    {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0)
            close(output_);
    }

    // The next line of output, or empty when none comes within the timeout.
    std::string readLine(std::chrono::seconds timeout = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (true) {
            const auto newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd wait{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0)
                return {};
            std::array<char, 256> chunk;
            const ssize_t count = read(output_, chunk.data(), chunk.size());
            if (count <= 0)
                return {};
            buffer_.append(chunk.data(), static_cast<std::size_t>(count));
        }
    }

    void killNow()
    {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        exited_ = true;
    }
    int waitForExit()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool exited_ = false;
};

class AreaKillTest : public ::testing::Test {
protected:
    AreaKillTest()
    {
        // The built program folder without its executables: the generated world, models, materials.
        for (const auto& entry : fs::directory_iterator(KIPSTER_PROGRAM_FOLDER))
            if (entry.is_directory())
                fs::copy(entry.path(), folder_.path() / entry.path().filename(), fs::copy_options::recursive);
    }

    std::vector<std::string> readWorld() const
    {
        std::vector<std::string> files;
        for (const std::string& name : areaNames())
            files.push_back(readWholeFile(folder_.path() / "world" / name));
        return files;
    }
    int leftovers() const
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder_.path() / "world"))
            count += entry.path().extension() == ".saving" ? 1 : 0;
        return count;
    }
    // A save that runs to its end; the milliseconds it took.
    long saveWhole(int variant)
    {
        DriverRun run({folder_.path().string(), "save", std::to_string(variant)});
        EXPECT_EQ(run.readLine(), "loaded 0 0");
        EXPECT_EQ(run.readLine(), "saving");
        long milliseconds = 0;
        int errors = -1;
        EXPECT_EQ(std::sscanf(run.readLine().c_str(), "saved %ld %d", &milliseconds, &errors), 2);
        EXPECT_EQ(errors, 0);
        EXPECT_EQ(run.waitForExit(), 0);
        return milliseconds;
    }

    TempFolder folder_;
};

} // namespace

TEST_F(AreaKillTest, EveryAreaFileIsTheOldOrTheNewOneWhateverMomentTheSaveIsKilledAt)
{
    ASSERT_EQ(readWorld().size(), 16u);
    for (const std::string& name : areaNames())
        ASSERT_TRUE(fs::is_regular_file(folder_.path() / "world" / name)) << name << " was not generated";

    // The two versions the runs alternate between, each saved once in full.
    const long firstMilliseconds = saveWhole(1);
    const std::vector<std::string> version1 = readWorld();
    const long secondMilliseconds = saveWhole(2);
    const std::vector<std::string> version2 = readWorld();
    ASSERT_FALSE(HasFailure());
    for (std::size_t i = 0; i < version1.size(); ++i)
        ASSERT_NE(version1[i], version2[i]) << "the two versions must differ in every file";
    const long saveMicroseconds = std::max(firstMilliseconds, secondMilliseconds) * 1000 + 1000;

    std::mt19937 random(21);
    std::uniform_int_distribution<long> moment(0, saveMicroseconds);
    int cutOff = 0;
    for (int runIndex = 0; runIndex < kRuns; ++runIndex) {
        SCOPED_TRACE("run " + std::to_string(runIndex));
        {
            DriverRun run({folder_.path().string(), "save", std::to_string(1 + runIndex % 2)});
            // Every start loads whatever the killed save before it left, and clears its leftovers.
            ASSERT_EQ(run.readLine(), "loaded 0 0");
            ASSERT_EQ(run.readLine(), "saving");
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            run.killNow();
        }
        const std::vector<std::string> files = readWorld();
        int fromVersion1 = 0;
        int fromVersion2 = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            fromVersion1 += files[i] == version1[i] ? 1 : 0;
            fromVersion2 += files[i] == version2[i] ? 1 : 0;
            ASSERT_TRUE(files[i] == version1[i] || files[i] == version2[i])
                << areaNames()[i] << " is neither the old nor the new file (" << files[i].size() << " bytes)";
        }
        if ((fromVersion1 > 0 && fromVersion2 > 0) || leftovers() > 0)
            ++cutOff;
    }
    std::printf("%d of %d runs were killed while saving\n", cutOff, kRuns);
    // The moments must really fall inside the saves, or the runs proved nothing.
    EXPECT_GE(cutOff, kRuns / 4) << "only " << cutOff << " of " << kRuns << " runs were killed while saving";

    DriverRun last({folder_.path().string(), "load"});
    EXPECT_EQ(last.readLine(), "loaded 0 0");
    EXPECT_EQ(last.waitForExit(), 0);
    EXPECT_EQ(leftovers(), 0);
}
