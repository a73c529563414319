#include "platform/instancelock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using platform::InstanceLock;
using platform::InstanceLockStatus;

namespace {

// Each test gets a runtime folder of its own, so no real instance is disturbed.
class InstanceLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("lock_test_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        const char* previous = std::getenv("XDG_RUNTIME_DIR");
        previous_ = previous ? previous : "";
        hadPrevious_ = previous != nullptr;
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (hadPrevious_) {
            ::setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        fs::remove_all(folder_);
    }

    fs::path folder_;
    std::string previous_;
    bool hadPrevious_ = false;
};

TEST_F(InstanceLockTest, SecondHolderIsToldItAlreadyExists) {
    EXPECT_EQ(platform::instanceLockPath("Velnor.exe"), (folder_ / "Velnor.exe").string());
    InstanceLock first;
    ASSERT_EQ(first.acquire("Velnor.exe"), InstanceLockStatus::acquired);
    EXPECT_EQ(first.acquire("Velnor.exe"), InstanceLockStatus::acquired);

    InstanceLock second;
    EXPECT_EQ(second.acquire("Velnor.exe"), InstanceLockStatus::alreadyExists);
    EXPECT_FALSE(second.held());
    second.release();  // holds nothing: must not touch the first one's lock
    EXPECT_EQ(InstanceLock().acquire("Velnor.exe"), InstanceLockStatus::alreadyExists);

    first.release();
    first.release();
    EXPECT_EQ(second.acquire("Velnor.exe"), InstanceLockStatus::acquired);
}

TEST_F(InstanceLockTest, ProcessDeathReleasesTheLock) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        const bool ok = lock.acquire("Velnor.exe") == InstanceLockStatus::acquired;
        ::_exit(ok ? 0 : 1);  // dies holding the lock: no release, no destructor
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    InstanceLock lock;
    EXPECT_EQ(lock.acquire("Velnor.exe"), InstanceLockStatus::acquired);
}

TEST_F(InstanceLockTest, RefusesPlantedLinksAndBadNames) {
    fs::create_symlink(folder_ / "elsewhere", folder_ / "Velnor.exe");
    InstanceLock lock;
    EXPECT_EQ(lock.acquire("Velnor.exe"), InstanceLockStatus::failed);
    EXPECT_FALSE(fs::exists(folder_ / "elsewhere"));
    EXPECT_EQ(lock.acquire("../Velnor.exe"), InstanceLockStatus::failed);
    EXPECT_EQ(lock.acquire(""), InstanceLockStatus::failed);
}

TEST_F(InstanceLockTest, WithoutRuntimeFolderTheLockIsPerUserInTmp) {
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::instanceLockPath("Velnor.exe"),
              "/tmp/Velnor.exe-" + std::to_string(::getuid()));
}

}  // namespace
