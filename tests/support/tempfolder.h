#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object is destroyed. Set VELNOR_KEEP_TEMP=1 to keep it for a look after a failed test.

#include <filesystem>
#include <string>

class TempFolder {
  public:
    // Creates "<tmp>/velnor-<prefix>-XXXXXX". path() is empty when it could not be created.
    explicit TempFolder(const std::string& prefix = "test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() / name, as text.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};
