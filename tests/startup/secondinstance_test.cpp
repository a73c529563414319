// The real program started as separate processes, each in a copy of the program folder of its
// own (so its profile is the test's) and with a runtime folder of its own (so its lock is too).
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
using namespace std::chrono_literals;

namespace {

std::string readFile(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// A copy of the program and its libraries in `folder`, without the file `left out`.
fs::path copyProgramFolder(const fs::path& folder, const std::string& leftOut = {}) {
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(VELNOR_PROGRAM_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name != leftOut && (name == "Velnor" || entry.path().extension() == ".so")) {
            fs::copy_file(entry.path(), folder / name);
        }
    }
    return folder / "Velnor";
}

class Velnor {
  public:
    // Starts `program` with the offscreen platform and message boxes written to `messages`.
    Velnor(const fs::path& program, const fs::path& messages) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("VELNOR_TEST_MESSAGES", messages.c_str(), 1);
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Velnor() { stop(); }

    // Waits up to `limit` for the program to end; its exit status, or -1 when it still runs.
    int wait(std::chrono::milliseconds limit = 60s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (pid_ > 0) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return -1;
            }
            std::this_thread::sleep_for(20ms);
        }
        return status_;
    }
    bool running() { return wait(0ms) == -1; }

    // Ends a program that waits in a window (the system releases its lock).
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Waits until some process holds the lock "Velnor.exe" of the current runtime folder.
bool lockTakenWithin(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (platform::InstanceLock().acquire("Velnor.exe") ==
            platform::InstanceLockStatus::alreadyExists) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(SecondInstance, SaysVelnorIsAlreadyRunningAndEnds) {
    ScopedRuntimeFolder runtime("startup_second");
    const fs::path program = copyProgramFolder(runtime.path() / "program");
    const fs::path firstMessages = runtime.path() / "first.txt";
    const fs::path secondMessages = runtime.path() / "second.txt";

    // The first instance comes up and waits in the MFP selection dialog.
    Velnor first(program, firstMessages);
    ASSERT_TRUE(lockTakenWithin(60s));

    Velnor second(program, secondMessages);
    EXPECT_EQ(second.wait(), 0);
    // No caption (the default title), the error icon and the topmost flag.
    EXPECT_EQ(readFile(secondMessages), "Error|Velnor is already running. |0x40010\n");

    // The first keeps running and keeps its lock.
    EXPECT_TRUE(first.running());
    EXPECT_EQ(platform::InstanceLock().acquire("Velnor.exe"),
              platform::InstanceLockStatus::alreadyExists);
    EXPECT_FALSE(fs::exists(firstMessages)) << readFile(firstMessages);
    first.stop();

    // Its lock died with it.
    EXPECT_EQ(platform::InstanceLock().acquire("Velnor.exe"),
              platform::InstanceLockStatus::acquired);
    // Nothing reached the main window, so no profile was written.
    EXPECT_FALSE(fs::exists(runtime.path() / "program" / "setting"));
}

TEST(SecondInstance, MissingLibraryStopsBeforeTheLock) {
    ScopedRuntimeFolder runtime("startup_missing");
    const fs::path messages = runtime.path() / "messages.txt";
    const fs::path incomplete = copyProgramFolder(runtime.path() / "incomplete", "tarvin.so");

    Velnor broken(incomplete, messages);
    EXPECT_EQ(broken.wait(), 0);
    // One box naming the library last tried; caption and format come from the resource library.
    const std::string shown = readFile(messages);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << shown;
    EXPECT_NE(shown.find("vzqtarvin.so"), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("|0x10\n")) << shown;
    EXPECT_FALSE(fs::exists(runtime.path() / "Velnor.exe"));  // the lock was never taken

    // With the library present the next start runs normally: it takes the lock, shows no
    // message and waits in the selection dialog.
    fs::remove(messages);
    Velnor complete(copyProgramFolder(runtime.path() / "complete"), messages);
    EXPECT_TRUE(lockTakenWithin(60s));
    EXPECT_TRUE(complete.running());
    EXPECT_FALSE(fs::exists(messages)) << readFile(messages);
}

// Waits until `file` has some content.
std::string contentWithin(const fs::path& file, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string content = readFile(file);
        if (!content.empty()) {
            return content;
        }
        std::this_thread::sleep_for(20ms);
    }
    return {};
}

// A stored device and "do not show the dialog": start-up confirms the device itself. When it
// cannot be reached the selection says so and shows its dialog, and the profile stays as it was.
TEST(StartUp, StoredDeviceThatDoesNotAnswerOpensTheSelection) {
    ScopedRuntimeFolder runtime("startup_stored");
    const fs::path program = copyProgramFolder(runtime.path() / "program");
    fs::create_directories(runtime.path() / "program" / "setting");
    const fs::path profile = runtime.path() / "program" / "setting" / "Velnor.ini";
    // Port 1 of the loopback address: nothing listens there, the connection is refused at once.
    const std::string stored =
        "[MFPInfo]\nmachineName=Office MFP\nIPv4Address=127.0.0.1\nhttpPortNumber=1\n"
        "isNotShowDlg=1\n";
    std::ofstream(profile) << stored;
    const fs::path messages = runtime.path() / "messages.txt";

    Velnor velnor(program, messages);
    const std::string shown = contentWithin(messages, 60s);
    EXPECT_NE(shown.find("Unable to connect to the scanner."), std::string::npos) << shown;
    EXPECT_TRUE(velnor.running());  // now waiting in the visible selection dialog
    velnor.stop();
    EXPECT_EQ(readFile(profile), stored);
}

}  // namespace
