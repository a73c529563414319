#include "app/settings/profilefilename.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/folders/modulepath.h"
#include "platform/messageboxrecorder.h"
#include "platform/textconv.h"

namespace {

struct NameCase {
    const char* modulePath;
    bool formed;
    const char* path;
    const char* iniName;
};

class ProfileFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProfileFileNameTest, Forms) {
    const NameCase& c = GetParam();
    const ProfileNameResult result = ProfileFileNameFor(QString::fromUtf8(c.modulePath));
    EXPECT_EQ(result.status >= 0, c.formed);
    EXPECT_EQ(result.path, QString::fromUtf8(c.path));
    EXPECT_EQ(result.iniName, QString::fromUtf8(c.iniName));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProfileFileNameTest,
    ::testing::Values(
        NameCase{"/opt/velnor/Velnor.exe", true, "/opt/velnor/setting/Velnor.ini", "Velnor.ini"},
        NameCase{"/opt/velnor/Velnor", true, "/opt/velnor/setting/Velnor.ini", "Velnor.ini"},
        NameCase{"/opt/v1.2/Velnor", true, "/opt/v1.2/setting/Velnor.ini", "Velnor.ini"},
        NameCase{"/opt/v/Velnor.test.bin", true, "/opt/v/setting/Velnor.test.ini",
                 "Velnor.test.ini"},
        NameCase{"/Velnor", true, "/setting/Velnor.ini", "Velnor.ini"},
        NameCase{"Velnor.exe", false, "", "ini"}, NameCase{"/opt/nonexistent/", false, "", "ini"},
        NameCase{"", false, "", "ini"}));

TEST(SetProfileFileName, UsesTheRunningProgram) {
    MessageBoxRecorder boxes;
    ReleaseProfileFileName();
    ASSERT_EQ(SetProfileFileName(QStringLiteral("caption"), QStringLiteral("%s")), 0);
    const PathResult folder = ProgramFolder();
    EXPECT_EQ(ProfileFileName(),
              platform::toQString(folder.path) + QStringLiteral("/setting/settings_test.ini"));
    EXPECT_TRUE(boxes.calls().empty());
    ReleaseProfileFileName();
    ReleaseProfileFileName();
    EXPECT_TRUE(ProfileFileName().isEmpty());
}

}  // namespace
