#include "app/folders/workfolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/folders/filetimestamp.h"
#include "app/folders/modulepath.h"
#include "platform/textconv.h"

namespace fs = std::filesystem;

namespace {

fs::path freshFolder(const std::string& name) {
    const fs::path folder =
        fs::temp_directory_path() / ("folders_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void touch(const fs::path& file) {
    std::ofstream(file) << "page";
}

TEST(WorkFolders, CreatedBesideTheProgram) {
    const PathResult program = ProgramFolder();
    ASSERT_TRUE(program.ok());
    EXPECT_EQ(fs::path(platform::toUtf8(program.path)),
              fs::path(VELNOR_PROGRAM_DIR).parent_path() / "tests");

    CreateWorkFolders();
    const std::u16string base = program.path;
    EXPECT_EQ(SaveFolder(), base + u"/work/save");
    EXPECT_EQ(PreviewFolder(), base + u"/work/preview");
    EXPECT_EQ(SettingFolder(), base + u"/setting");
    for (const auto& folder : {SaveFolder(), PreviewFolder(), SettingFolder()}) {
        EXPECT_TRUE(fs::is_directory(fs::path(folder))) << platform::toUtf8(folder);
    }
    CreateWorkFolders();  // existing folders are fine
    EXPECT_TRUE(fs::is_directory(fs::path(SaveFolder())));
}

TEST(WorkFolders, ModulePathNamesTheRunningProgram) {
    const PathResult module = ModulePath();
    ASSERT_TRUE(module.ok());
    EXPECT_EQ(fs::path(module.path).filename(), "folders_test");
}

TEST(ClearFolder, DeletesFilesAtEveryLevelAndKeepsFolders) {
    const fs::path root = freshFolder("nested");
    fs::create_directories(root / "a" / "b");
    touch(root / "one.jpg");
    touch(root / "a" / "two.tif");
    touch(root / "a" / "b" / "three");
    touch(root / "a" / "b" / ".hidden");

    for (const std::u16string& path : {root.u16string(), root.u16string() + u"/"}) {
        EXPECT_TRUE(ClearFolder(path));
        EXPECT_TRUE(fs::is_directory(root / "a" / "b"));
        EXPECT_TRUE(fs::is_empty(root / "a" / "b"));
        EXPECT_TRUE(fs::is_empty(root / "a" / "b"));
        EXPECT_FALSE(fs::exists(root / "one.jpg"));
        EXPECT_FALSE(fs::exists(root / "a" / "two.tif"));
        touch(root / "a" / "again");
    }
    fs::remove_all(root);
}

TEST(ClearFolder, NeverFollowsLinksOutOfTheFolder) {
    const fs::path root = freshFolder("links");
    const fs::path outside = freshFolder("outside");
    touch(outside / "precious.pdf");
    fs::create_directory_symlink(outside, root / "linked-folder");
    fs::create_symlink(outside / "precious.pdf", root / "linked-file");
    fs::create_symlink(root / "nowhere", root / "dangling");

    EXPECT_TRUE(ClearFolder(root.u16string()));
    EXPECT_TRUE(fs::is_empty(root));  // the links themselves are gone
    EXPECT_TRUE(fs::exists(outside / "precious.pdf"));
    fs::remove_all(root);
    fs::remove_all(outside);
}

TEST(ClearFolder, FalseWhenTheFolderCannotBeListed) {
    const fs::path root = freshFolder("unlisted");
    touch(root / "file");
    EXPECT_FALSE(ClearFolder((root / "missing").u16string()));
    EXPECT_FALSE(ClearFolder((root / "file").u16string()));
    EXPECT_FALSE(ClearFolder(u""));
    EXPECT_TRUE(fs::exists(root / "file"));
    fs::remove_all(root);
}

TEST(FileTimestamp, FourteenDigitsOfLocalTime) {
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(FormatFileTimestamp(1773480605), u"20260314093005");
    EXPECT_EQ(FormatFileTimestamp(0), u"19700101000000");
    // Years past 9999 have no 14-digit form.
    EXPECT_EQ(FormatFileTimestamp(253402300800), u"");
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
    EXPECT_EQ(FormatFileTimestamp(1773480605), u"20260314183005");
    if (previous) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
