#include "platform/dynlib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/textconv.h"

namespace fs = std::filesystem;

namespace {

TEST(DynLib, LoadsByPathResolvesAndFrees) {
    const auto load = platform::loadLibrary(platform::toUtf16(PROBE_LIBRARY_PATH));
    ASSERT_NE(load.module, nullptr) << load.detail;
    EXPECT_EQ(load.error, platform::kLibraryOk);
    const auto answer = platform::findSymbol(load.module, "ProbeAnswer");
    ASSERT_NE(answer.address, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(answer.address)(), 42);
    EXPECT_EQ(platform::findSymbol(load.module, "NoSuchExport").error,
              platform::kProcedureNotFound);
    platform::freeLibrary(load.module);
    platform::freeLibrary(nullptr);
}

TEST(DynLib, ReportsWhyALoadFailed) {
    EXPECT_EQ(platform::loadLibrary(u"").error, platform::kLibraryInvalidName);
    EXPECT_EQ(platform::loadLibrary(u"vzqnosuchlibrary.so").error, platform::kLibraryNotFound);
    EXPECT_EQ(platform::loadLibrary(u"/nonexistent/folder/x.so").error, platform::kLibraryNotFound);

    const fs::path bogus =
        fs::temp_directory_path() / ("bogus_" + std::to_string(::getpid()) + ".so");
    std::ofstream(bogus) << "not a library";
    const auto load = platform::loadLibrary(bogus.u16string());
    EXPECT_EQ(load.module, nullptr);
    EXPECT_EQ(load.error, platform::kLibraryBadFormat);
    fs::remove(bogus);
}

TEST(DynLib, BareNameIsFoundInTheProgramFolderFirst) {
    // The test program's own folder is its program folder: put a copy of the probe there.
    const fs::path folder = fs::path(platform::toUtf8(platform::programFolderPath()));
    ASSERT_FALSE(folder.empty());
    const fs::path copy = folder / "vzqplatformprobe.so";
    fs::copy_file(PROBE_LIBRARY_PATH, copy, fs::copy_options::overwrite_existing);
    const auto load = platform::loadLibrary(u"vzqplatformprobe.so");
    EXPECT_NE(load.module, nullptr) << load.detail;
    platform::freeLibrary(load.module);
    fs::remove(copy);
}

TEST(DynLib, ListsMatchingFilesInListingOrder) {
    const fs::path folder =
        fs::temp_directory_path() / ("dynlib_list_" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub.so");
    for (const char* name : {"tarvin.so", "CODEC.SO", "notes.txt", "codec.so.bak"}) {
        std::ofstream(folder / name) << "x";
    }
    auto names = platform::listFolder(folder.u16string(), u"*.so");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"CODEC.SO", u"tarvin.so"}));
    EXPECT_TRUE(platform::listFolder((folder / "missing").u16string(), u"*.so").empty());
    fs::remove_all(folder);
}

}  // namespace
