#include "app/settings/settingsstore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/settings/currentsettings.h"
#include "app/settings/passwordscramble.h"
#include "app/settings/profilefilename.h"
#include "app/texts.h"
#include "platform/messageboxrecorder.h"
#include "platform/textconv.h"

namespace fs = std::filesystem;

namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { FillTextTable(MessageTextTable); }

    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("settings_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        profile_ = folder_ / "Velnor.ini";
        UseProfileFileName(QString::fromStdString(profile_.string()));
        const AppSettings defaults;
        SetSettingInfo(defaults.settingInfo);
        SetMFPInfo(defaults.mfpInfo);
        SetPasswordInfo(defaults.passwordInfo);
    }
    void TearDown() override {
        ReleaseProfileFileName();
        fs::remove_all(folder_);
    }

    void writeProfile(const std::string& content) {
        std::ofstream(profile_, std::ios::binary) << content;
    }
    std::string readProfile() const {
        std::ifstream in(profile_, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    static AppSettings loaded() {
        AppSettings record;
        LoadSettings(record);
        return record;
    }

    fs::path folder_;
    fs::path profile_;
};

TEST_F(SettingsStoreTest, MissingProfileGivesEveryDefault) {
    const AppSettings record = loaded();
    EXPECT_EQ(record.settingInfo.folderPath, DefaultDestinationFolder());
    EXPECT_FALSE(record.settingInfo.folderPath.isEmpty());
    EXPECT_EQ(record.settingInfo.boxIndex, 1);
    EXPECT_EQ(record.settingInfo.DeleteFile, 1);
    EXPECT_EQ(record.settingInfo.ColorFormat, 0);
    EXPECT_EQ(record.settingInfo.SimpleMode, 0);
    EXPECT_EQ(record.mfpInfo.httpPortNumber, 80);
    EXPECT_EQ(record.mfpInfo.SearchPortNumber, 61000);
    EXPECT_TRUE(record.mfpInfo.IPv4Address.isEmpty());
    EXPECT_EQ(record.passwordInfo, PasswordInfo{});
    EXPECT_EQ(GetSettingInfo(), record.settingInfo);
    EXPECT_EQ(GetMFPInfo(), record.mfpInfo);
    EXPECT_FALSE(fs::exists(profile_));  // loading never writes
}

TEST_F(SettingsStoreTest, LoadReadsEveryKeyAndPublishes) {
    writeProfile(
        "[MFPInfo]\n"
        "machineName=MFP-4F\n"
        "IPv4Address=127.0.0.5\n"
        "deviceInternalName=usb#vid_1234\n"
        "isUSB=1\n"
        "isSpecifiedIPAddress=1\n"
        "SpecifiedIPAddress=printer.local\n"
        "httpPortNumber=70000\n"
        "SearchPortNumber=-1\n"
        "isNotShowDlg=1\n"
        "[SettingInfo]\n"
        "machineName=printer.local\n"
        "boxIndex=65538\n"
        "folderPath=/home/u/Scans\n"
        "ColorFormat=1\n"
        "MonoFormat=1\n"
        "DeleteFile=0\n"
        "SimpleMode=7\n");
    const AppSettings record = loaded();
    EXPECT_EQ(record.mfpInfo.machineName, "MFP-4F");
    EXPECT_EQ(record.mfpInfo.IPv4Address, "127.0.0.5");
    EXPECT_EQ(record.mfpInfo.deviceInternalName, "usb#vid_1234");
    EXPECT_EQ(record.mfpInfo.isUSB, 1);
    EXPECT_EQ(record.mfpInfo.isSpecifiedIPAddress, 1);
    EXPECT_EQ(record.mfpInfo.SpecifiedIPAddress, "printer.local");
    EXPECT_EQ(record.mfpInfo.httpPortNumber, 4464);  // low 16 bits of 70000
    EXPECT_EQ(record.mfpInfo.SearchPortNumber, 65535);
    EXPECT_EQ(record.mfpInfo.isNotShowDlg, 1);
    EXPECT_EQ(record.settingInfo.machineName, "printer.local");
    EXPECT_EQ(record.settingInfo.boxIndex, 2);
    EXPECT_EQ(record.settingInfo.folderPath, "/home/u/Scans");
    EXPECT_EQ(record.settingInfo.ColorFormat, 1);
    EXPECT_EQ(record.settingInfo.MonoFormat, 1);
    EXPECT_EQ(record.settingInfo.DeleteFile, 0);
    EXPECT_EQ(record.settingInfo.SimpleMode, 7);  // kept as read
    EXPECT_EQ(GetMFPInfo(), record.mfpInfo);
    EXPECT_EQ(GetSettingInfo(), record.settingInfo);
}

TEST_F(SettingsStoreTest, EmptyFolderPathKeepsTheDesktop) {
    writeProfile("[SettingInfo]\nfolderPath=\nDeleteFile=0\n");
    const AppSettings record = loaded();
    EXPECT_EQ(record.settingInfo.folderPath, DefaultDestinationFolder());
    EXPECT_EQ(record.settingInfo.DeleteFile, 0);
}

TEST_F(SettingsStoreTest, PasswordNotReadUnlessSavedAndThenWrittenEmpty) {
    writeProfile("[PasswordInfo]\nsavePassword=0\npassword=" +
                 platform::toUtf8(*ScramblePassword(u"1234")) + "\n");
    AppSettings record = loaded();
    EXPECT_TRUE(record.passwordInfo.password.isEmpty());
    EXPECT_EQ(record.passwordInfo.savePassword, 0);

    // The password dialog set a password for this run only.
    SetPasswordInfo({QStringLiteral("1234"), 0});
    MessageBoxRecorder boxes;
    ASSERT_TRUE(SaveSettings(record));
    EXPECT_NE(readProfile().find("[PasswordInfo]\nsavePassword=0\npassword=\n"), std::string::npos)
        << readProfile();
    EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(SettingsStoreTest, SavedPasswordComesBackAsTheNumber) {
    SetPasswordInfo({QStringLiteral("0042"), 1});
    AppSettings record;
    MessageBoxRecorder boxes;
    ASSERT_TRUE(SaveSettings(record));
    EXPECT_EQ(record.passwordInfo.password, "0042");  // the record now holds the current settings
    const std::string text = readProfile();
    EXPECT_EQ(text.find("password=0042"), std::string::npos);
    EXPECT_EQ(text.find("password=42\n"), std::string::npos);

    SetPasswordInfo({});
    const AppSettings reloaded = loaded();
    EXPECT_EQ(reloaded.passwordInfo.password, "42");
    EXPECT_EQ(reloaded.passwordInfo.savePassword, 1);
}

TEST_F(SettingsStoreTest, StoredPasswordThatIsNoNumberLoadsEmpty) {
    writeProfile("[PasswordInfo]\nsavePassword=1\npassword=12ab\n");
    EXPECT_TRUE(loaded().passwordInfo.password.isEmpty());
}

TEST_F(SettingsStoreTest, SaveWritesEveryKeyInOrder) {
    MFPInfo mfp;
    mfp.machineName = QStringLiteral("MFP");
    mfp.IPv4Address = QStringLiteral("127.0.0.9");
    mfp.httpPortNumber = 8080;
    SetMFPInfo(mfp);
    SettingInfo setting;
    setting.folderPath = QStringLiteral("/tmp/out");
    setting.machineName = QStringLiteral("MFP");
    SetSettingInfo(setting);
    AppSettings record;
    MessageBoxRecorder boxes;
    ASSERT_TRUE(SaveSettings(record));
    EXPECT_EQ(readProfile(),
              "[MFPInfo]\n"
              "machineName=MFP\n"
              "IPv4Address=127.0.0.9\n"
              "deviceInternalName=\n"
              "isUSB=0\n"
              "isSpecifiedIPAddress=0\n"
              "SpecifiedIPAddress=\n"
              "httpPortNumber=8080\n"
              "SearchPortNumber=61000\n"
              "isNotShowDlg=0\n"
              "[SettingInfo]\n"
              "machineName=MFP\n"
              "boxIndex=1\n"
              "folderPath=/tmp/out\n"
              "ColorFormat=0\n"
              "MonoFormat=0\n"
              "DeleteFile=1\n"
              "SimpleMode=0\n"
              "[PasswordInfo]\n"
              "savePassword=0\n"
              "password=\n");
    EXPECT_EQ(loaded(), record);
}

TEST_F(SettingsStoreTest, FailedWriteStopsAtThatKeyAndSaysSoOnce) {
    const std::string before = "[SettingInfo]\nfolderPath=/keep\n";
    writeProfile(before);
    MFPInfo mfp;
    mfp.machineName = QStringLiteral("M");
    mfp.IPv4Address = QStringLiteral("127.0.0.1");
    SetMFPInfo(mfp);
    SettingInfo setting;
    setting.folderPath = QStringLiteral("/changed");
    SetSettingInfo(setting);

    // Let the file grow by the first key only: the write of "IPv4Address" then fails for real.
    const std::string afterFirst = before + "[MFPInfo]\nmachineName=M\n";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = afterFirst.size() + 1;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    AppSettings record;
    MessageBoxRecorder boxes;
    const bool saved_ok = SaveSettings(record);

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(readProfile(), afterFirst);
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].text, QStringLiteral("Failed to save the file."));
    EXPECT_EQ(boxes.calls()[0].caption, QStringLiteral("Save"));
    EXPECT_EQ(boxes.calls()[0].owner, nullptr);
    EXPECT_TRUE(boxes.calls()[0].flags & MB_ICONERROR);
    // No temporary file is left beside the profile.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(SettingsStoreTest, WithoutProfileNameSavingFailsWithTheMessage) {
    ReleaseProfileFileName();
    AppSettings record;
    MessageBoxRecorder boxes;
    EXPECT_FALSE(SaveSettings(record));
    EXPECT_EQ(boxes.calls().size(), 1u);
}

TEST(CurrentSettings, GroupsAreCopiedInAndOut) {
    AppSettings record;
    SettingInfo changed = GetSettingInfo();
    changed.boxIndex = 5;
    SetSettingInfo(changed);
    EXPECT_EQ(record.settingInfo.boxIndex, 1);
    const SettingInfo synced = SyncFromCurrent(record.settingInfo);
    EXPECT_EQ(record.settingInfo.boxIndex, 5);
    EXPECT_EQ(synced, record.settingInfo);
    record.settingInfo.boxIndex = 9;  // the record's copy is its own
    EXPECT_EQ(GetSettingInfo().boxIndex, 5);
    SetSettingInfo(SettingInfo{});
}

}  // namespace
