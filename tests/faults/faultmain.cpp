// The fault matrix's main: before any thread starts, the process takes a mount namespace of its
// own (when it may), so that the file systems its tests mount are seen by nobody else and go
// away with it; a write beyond a file-size limit fails instead of killing the process.

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <csignal>

void SetPrivateMounts(bool value);

int main(int argc, char** argv) {
    std::signal(SIGXFSZ, SIG_IGN);
    const bool own = ::unshare(CLONE_NEWNS) == 0 &&
                     ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    SetPrivateMounts(own);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
