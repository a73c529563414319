#pragma once

#include <string>
#include <string_view>

// The single-instance lock, standing in for a named mutex in the user's logon namespace: an
// exclusively locked file named after the lock in the user's runtime folder ($XDG_RUNTIME_DIR,
// else "/tmp/<name>-<uid>"). The system drops the lock when the holding process ends, however it
// ends; the file itself stays and is reused.
namespace platform {

enum class InstanceLockStatus {
    acquired,       // this process holds the lock now
    alreadyExists,  // another process holds it
    failed,         // the lock file could not be opened or locked for another reason
};

class InstanceLock {
  public:
    InstanceLock() = default;
    ~InstanceLock();  // releases the lock
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock `name` (a plain file name, no "/"). Holding it already, this process gets
    // `acquired` again. On `alreadyExists` and `failed` nothing is held and nothing is left open.
    InstanceLockStatus acquire(std::string_view name);

    // Releases the lock when held; harmless when not held or called twice.
    void release();

    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// The file that stands for the lock `name` for the current user.
std::string instanceLockPath(std::string_view name);

}  // namespace platform
