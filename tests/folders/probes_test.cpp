#include "app/folders/probes.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/folders/filetimestamp.h"
#include "platform/textconv.h"

namespace fs = std::filesystem;

namespace {

class ProbeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("probes_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    size_t entries() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }
    static std::string content(const fs::path& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder_;
};

TEST_F(ProbeTest, WritableFolderLeavesNothingBehind) {
    EXPECT_TRUE(CanWriteFolder(folder_.u16string()));
    EXPECT_TRUE(CanWriteFolder(folder_.u16string() + u"/"));
    EXPECT_EQ(entries(), 0u);
}

TEST_F(ProbeTest, FilePathProbesItsFolder) {
    std::ofstream(folder_ / "report.pdf") << "keep";
    EXPECT_TRUE(CanWriteFolder((folder_ / "report.pdf").u16string()));
    EXPECT_TRUE(CanWriteFolder((folder_ / "not-yet.pdf").u16string()));
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(content(folder_ / "report.pdf"), "keep");
}

TEST_F(ProbeTest, FolderProbeNeverReplacesAFileOfItsName) {
    // Plant the probe names of this second and the next; the probe must step around them.
    const std::time_t now = std::time(nullptr);
    for (std::time_t t : {now, now + 1}) {
        const fs::path name = folder_ / (platform::toUtf8(FormatFileTimestamp(t)) + ".zel");
        std::ofstream(name) << "user data";
    }
    EXPECT_TRUE(CanWriteFolder(folder_.u16string()));
    EXPECT_EQ(entries(), 2u);
    for (const auto& entry : fs::directory_iterator(folder_)) {
        EXPECT_EQ(content(entry.path()), "user data");
    }
}

TEST_F(ProbeTest, UnwritableOrMissingFolders) {
    EXPECT_FALSE(CanWriteFolder((folder_ / "missing" / "deeper").u16string()));
    EXPECT_FALSE(CanWriteFolder(u"no-separator"));
    EXPECT_FALSE(CanWriteFolder(u"/proc"));  // refuses new files, even to the superuser
    EXPECT_FALSE(CanCreateFileIn((folder_ / "missing").u16string(), 8));
    EXPECT_FALSE(CanWriteFile((folder_ / "missing" / "x.pdf").u16string()));
}

TEST_F(ProbeTest, CreateFileOfAGivenNameLength) {
    EXPECT_TRUE(CanCreateFileIn(folder_.u16string(), 20));
    EXPECT_TRUE(CanCreateFileIn(folder_.u16string() + u"/", 1));
    EXPECT_TRUE(CanCreateFileIn(folder_.u16string(), 255));
    EXPECT_FALSE(CanCreateFileIn(folder_.u16string(), 256));  // longer than a name may be
    EXPECT_FALSE(CanCreateFileIn(folder_.u16string(), 0));
    EXPECT_FALSE(CanCreateFileIn(folder_.u16string(), -3));
    EXPECT_EQ(entries(), 0u);
}

TEST_F(ProbeTest, ExistingFileIsCheckedNotTouched) {
    const fs::path file = folder_ / "out.tif";
    std::ofstream(file) << "old";
    EXPECT_TRUE(CanWriteFile(file.u16string()));
    EXPECT_EQ(content(file), "old");
    EXPECT_TRUE(CanWriteFile((folder_ / "new.tif").u16string()));
    EXPECT_FALSE(fs::exists(folder_ / "new.tif"));
    EXPECT_FALSE(CanWriteFile(u""));
}

}  // namespace
