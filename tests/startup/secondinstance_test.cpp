// The real program started as a separate process next to a running instance.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/instancelock.h"
#include "tests/startup/runtimefolder.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Runs the program with the offscreen platform and message boxes written to `messages`;
// returns its exit status, or -1 when it did not end within `limit`.
int runVelnor(const fs::path& messages,
              const fs::path& program = fs::path(VELNOR_PROGRAM_DIR) / "Velnor",
              std::chrono::seconds limit = std::chrono::seconds(60)) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("VELNOR_TEST_MESSAGES", messages.c_str(), 1);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// A running first instance: a process that holds the lock until it is told to end.
class FirstInstance {
  public:
    FirstInstance() {
        int ready[2];
        int quit[2];
        if (::pipe(ready) != 0 || ::pipe(quit) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(quit[1]);
            platform::InstanceLock lock;
            const char state =
                lock.acquire("Velnor.exe") == platform::InstanceLockStatus::acquired ? 'y' : 'n';
            (void)!::write(ready[1], &state, 1);
            char ignored = 0;
            (void)!::read(quit[0], &ignored, 1);  // until the test closes its end
            // Still holding it at the end proves the second start did not take it away.
            platform::InstanceLock probe;
            ::_exit(probe.acquire("Velnor.exe") == platform::InstanceLockStatus::alreadyExists ? 0
                                                                                               : 1);
        }
        ::close(ready[1]);
        ::close(quit[0]);
        quit_ = quit[1];
        char state = 0;
        holding_ = ::read(ready[0], &state, 1) == 1 && state == 'y';
        ::close(ready[0]);
    }
    bool holding() const { return holding_; }
    // Ends the first instance; true when it still held its lock to the end.
    bool finish() {
        ::close(quit_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

  private:
    pid_t pid_ = -1;
    int quit_ = -1;
    bool holding_ = false;
};

TEST(SecondInstance, SaysVelnorIsAlreadyRunningAndEnds) {
    ScopedRuntimeFolder runtime("startup_second");
    const fs::path messages = runtime.path() / "messages.txt";
    FirstInstance first;
    ASSERT_TRUE(first.holding());

    EXPECT_EQ(runVelnor(messages), 0);
    // No caption (the default title), the error icon and the topmost flag.
    EXPECT_EQ(readFile(messages), "Error|Velnor is already running. |0x40010\n");
    EXPECT_TRUE(first.finish());
}

TEST(SecondInstance, AloneTheProgramStartsAndReleasesTheLock) {
    ScopedRuntimeFolder runtime("startup_alone");
    const fs::path messages = runtime.path() / "messages.txt";
    EXPECT_EQ(runVelnor(messages), 0);
    EXPECT_FALSE(fs::exists(messages)) << readFile(messages);
    platform::InstanceLock lock;
    EXPECT_EQ(lock.acquire("Velnor.exe"), platform::InstanceLockStatus::acquired);
}

TEST(SecondInstance, MissingLibraryStopsBeforeTheLock) {
    ScopedRuntimeFolder runtime("startup_missing");
    const fs::path messages = runtime.path() / "messages.txt";
    // A program folder with every library but the transport.
    const fs::path folder = runtime.path() / "program";
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(VELNOR_PROGRAM_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name == "Velnor" || (entry.path().extension() == ".so" && name != "tarvin.so")) {
            fs::copy_file(entry.path(), folder / name);
        }
    }

    EXPECT_EQ(runVelnor(messages, folder / "Velnor"), 0);
    // One box naming the library last tried; caption and format come from the resource library.
    const std::string shown = readFile(messages);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << shown;
    EXPECT_NE(shown.find("vzqtarvin.so"), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("|0x10\n")) << shown;
    EXPECT_FALSE(fs::exists(runtime.path() / "Velnor.exe"));  // the lock was never taken

    // With the library present the next start runs normally.
    fs::remove(messages);
    EXPECT_EQ(runVelnor(messages), 0);
    EXPECT_FALSE(fs::exists(messages)) << readFile(messages);
}

}  // namespace
