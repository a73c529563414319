#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A runtime folder of the test's own, so that the single-instance lock of a real Velnor on this
// machine is never touched; restores the environment when destroyed.
class ScopedRuntimeFolder {
  public:
    explicit ScopedRuntimeFolder(const std::string& name) {
        folder_ =
            std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        const char* previous = std::getenv("XDG_RUNTIME_DIR");
        hadPrevious_ = previous != nullptr;
        previous_ = previous ? previous : "";
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    }
    ~ScopedRuntimeFolder() {
        if (hadPrevious_) {
            ::setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        std::filesystem::remove_all(folder_);
    }
    const std::filesystem::path& path() const { return folder_; }

  private:
    std::filesystem::path folder_;
    std::string previous_;
    bool hadPrevious_ = false;
};
