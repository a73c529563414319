#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using platform::ProfileStatus;

namespace {

class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("profile_test_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "Velnor.ini").u16string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    void writeFile(const std::string& content) {
        std::ofstream(fs::path(path_), std::ios::binary) << content;
    }
    std::string readFile() const {
        std::ifstream in(fs::path(path_), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path folder_;
    std::u16string path_;
};

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(platform::readProfileString(path_, u"S", u"k", u"fallback"), u"fallback");
    EXPECT_EQ(platform::readProfileInt(path_, u"S", u"k", 17), 17);
    EXPECT_FALSE(fs::exists(fs::path(path_)));
}

TEST_F(ProfileTest, SectionsAndKeysIgnoreCaseAndValuesAreTrimmed) {
    writeFile(
        "; settings\n"
        "[mfpinfo]\n"
        "  IPV4address =  10.0.0.7  \n"
        "Quoted=\"  padded  \"\n"
        "[Other]\n"
        "IPv4Address=wrong\n");
    EXPECT_EQ(platform::readProfileString(path_, u"MFPInfo", u"IPv4Address", u""), u"10.0.0.7");
    EXPECT_EQ(platform::readProfileString(path_, u"MFPINFO", u"quoted", u""), u"  padded  ");
    EXPECT_EQ(platform::readProfileString(path_, u"MFPInfo", u"missing", u"d"), u"d");
    EXPECT_EQ(platform::readProfileString(path_, u"Absent", u"IPv4Address", u"d"), u"d");
}

TEST_F(ProfileTest, FirstSectionAndFirstKeyWin) {
    writeFile("[A]\nk=1\nk=2\n[A]\nk=3\n");
    EXPECT_EQ(platform::readProfileInt(path_, u"a", u"K", 0), 1);
    ASSERT_TRUE(platform::writeProfileInt(path_, u"A", u"k", 9).ok());
    EXPECT_EQ(readFile(), "[A]\nk=9\nk=2\n[A]\nk=3\n");
}

struct IntCase {
    const char* value;
    int32_t expected;
};

class ProfileIntTest : public ProfileTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileIntTest, ReadsLeadingDecimal) {
    writeFile(std::string("[S]\nk=") + GetParam().value + "\n");
    EXPECT_EQ(platform::readProfileInt(path_, u"S", u"k", -99), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntTest,
                         ::testing::Values(IntCase{"70000", 70000}, IntCase{"-5", -5},
                                           IntCase{"+12", 12}, IntCase{"12abc", 12},
                                           IntCase{"abc", 0}, IntCase{"", -99},
                                           IntCase{"4294967297", 1},
                                           IntCase{"2147483648", INT32_MIN}));

TEST_F(ProfileTest, WriteKeepsOtherLinesInPlace) {
    writeFile(
        "; keep me\r\n"
        "[MFPInfo]\r\n"
        "machineName=old\r\n"
        "unknown line\r\n"
        "\r\n"
        "[SettingInfo]\r\n"
        "boxIndex=3\r\n");
    ASSERT_TRUE(platform::writeProfileString(path_, u"mfpinfo", u"MACHINENAME", u"new").ok());
    ASSERT_TRUE(platform::writeProfileString(path_, u"MFPInfo", u"isUSB", u"1").ok());
    ASSERT_TRUE(platform::writeProfileString(path_, u"PasswordInfo", u"savePassword", u"0").ok());
    EXPECT_EQ(readFile(),
              "; keep me\r\n"
              "[MFPInfo]\r\n"
              "MACHINENAME=new\r\n"
              "unknown line\r\n"
              "isUSB=1\r\n"
              "\r\n"
              "[SettingInfo]\r\n"
              "boxIndex=3\r\n"
              "[PasswordInfo]\r\n"
              "savePassword=0\r\n");
}

TEST_F(ProfileTest, FirstWriteCreatesOwnerOnlyFile) {
    ASSERT_TRUE(platform::writeProfileString(path_, u"S", u"k", u"v\u00e9").ok());
    EXPECT_EQ(readFile(), "[S]\nk=v\xC3\xA9\n");
    struct stat info {};
    ASSERT_EQ(::stat(fs::path(path_).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(platform::readProfileString(path_, u"s", u"K", u""), u"v\u00e9");
    // Nothing but the profile is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, FileWithoutFinalNewlineAndWithByteOrderMark) {
    writeFile("\xEF\xBB\xBF[S]\nk=1");
    EXPECT_EQ(platform::readProfileInt(path_, u"S", u"k", 0), 1);
    ASSERT_TRUE(platform::writeProfileInt(path_, u"S", u"j", 2).ok());
    EXPECT_EQ(readFile(), "\xEF\xBB\xBF[S]\nk=1\nj=2");
    ASSERT_TRUE(platform::writeProfileInt(path_, u"T", u"k", 3).ok());
    EXPECT_EQ(readFile(), "\xEF\xBB\xBF[S]\nk=1\nj=2\n[T]\nk=3\n");
}

TEST_F(ProfileTest, RefusedWritesLeaveTheFileAlone) {
    writeFile("[S]\nk=1\n");
    // A line break in a value would plant keys of its own.
    EXPECT_EQ(platform::writeProfileString(path_, u"S", u"k", u"x\n[P]\npassword=1").status,
              ProfileStatus::invalidArgument);
    EXPECT_EQ(platform::writeProfileString(path_, u"S", u"a=b", u"1").status,
              ProfileStatus::invalidArgument);
    EXPECT_EQ(platform::writeProfileString(path_, u"S]", u"k", u"1").status,
              ProfileStatus::invalidArgument);
    EXPECT_EQ(platform::writeProfileString(u"", u"S", u"k", u"1").status,
              ProfileStatus::invalidArgument);
    EXPECT_EQ(readFile(), "[S]\nk=1\n");

    const std::u16string noFolder = (folder_ / "missing" / "Velnor.ini").u16string();
    EXPECT_EQ(platform::writeProfileString(noFolder, u"S", u"k", u"1").status,
              ProfileStatus::cannotWrite);
    const std::u16string folderAsFile = folder_.u16string();
    EXPECT_EQ(platform::writeProfileString(folderAsFile, u"S", u"k", u"1").status,
              ProfileStatus::cannotRead);
    EXPECT_EQ(platform::readProfileString(folderAsFile, u"S", u"k", u"d"), u"d");
}

}  // namespace
