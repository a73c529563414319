#include "app/settings/settingsstore.h"

#include "app/settings/currentsettings.h"
#include "app/settings/passwordscramble.h"
#include "app/settings/profilefilename.h"
#include "app/texts.h"
#include "platform/messagebox.h"
#include "platform/profile.h"
#include "platform/textconv.h"

namespace {

constexpr char16_t kMFPInfo[] = u"MFPInfo";
constexpr char16_t kSettingInfo[] = u"SettingInfo";
constexpr char16_t kPasswordInfo[] = u"PasswordInfo";

constexpr int kTextSaveFailed = 21005;  // "Failed to save the file."
constexpr int kCaptionSave = 20002;     // "Save"

class ProfileReader {
  public:
    explicit ProfileReader(QString path) : path_(platform::fromQString(path)) {}

    void text(const char16_t* section, const char16_t* key, QString& value) const {
        value = platform::toQString(
            platform::readProfileString(path_, section, key, platform::fromQString(value)));
    }
    void number(const char16_t* section, const char16_t* key, int32_t& value) const {
        value = platform::readProfileInt(path_, section, key, value);
    }
    // Keeps the low 16 bits of what was read.
    void number(const char16_t* section, const char16_t* key, uint16_t& value) const {
        value = static_cast<uint16_t>(platform::readProfileInt(path_, section, key, value));
    }

  private:
    std::u16string path_;
};

// Writes keys one after the other until one fails; later writes are skipped.
class ProfileWriter {
  public:
    explicit ProfileWriter(QString path) : path_(platform::fromQString(path)) {}

    void text(const char16_t* section, const char16_t* key, const QString& value) {
        if (ok_) {
            ok_ = platform::writeProfileString(path_, section, key, platform::fromQString(value))
                      .ok();
        }
    }
    void number(const char16_t* section, const char16_t* key, int32_t value) {
        if (ok_) {
            ok_ = platform::writeProfileInt(path_, section, key, value).ok();
        }
    }
    bool ok() const { return ok_; }

  private:
    std::u16string path_;
    bool ok_ = true;
};

}  // namespace

void LoadSettings(AppSettings& record) {
    const ProfileReader profile(ProfileFileName());
    MFPInfo& mfp = record.mfpInfo;
    profile.text(kMFPInfo, u"machineName", mfp.machineName);
    profile.text(kMFPInfo, u"IPv4Address", mfp.IPv4Address);
    profile.text(kMFPInfo, u"deviceInternalName", mfp.deviceInternalName);
    profile.text(kMFPInfo, u"SpecifiedIPAddress", mfp.SpecifiedIPAddress);
    profile.number(kMFPInfo, u"isUSB", mfp.isUSB);
    profile.number(kMFPInfo, u"isSpecifiedIPAddress", mfp.isSpecifiedIPAddress);
    profile.number(kMFPInfo, u"httpPortNumber", mfp.httpPortNumber);
    profile.number(kMFPInfo, u"SearchPortNumber", mfp.SearchPortNumber);
    profile.number(kMFPInfo, u"isNotShowDlg", mfp.isNotShowDlg);

    SettingInfo& setting = record.settingInfo;
    profile.number(kSettingInfo, u"boxIndex", setting.boxIndex);
    profile.text(kSettingInfo, u"machineName", setting.machineName);
    QString folder;
    profile.text(kSettingInfo, u"folderPath", folder);
    if (!folder.isEmpty()) {
        setting.folderPath = folder;
    }
    profile.number(kSettingInfo, u"ColorFormat", setting.ColorFormat);
    profile.number(kSettingInfo, u"MonoFormat", setting.MonoFormat);
    profile.number(kSettingInfo, u"DeleteFile", setting.DeleteFile);
    profile.number(kSettingInfo, u"SimpleMode", setting.SimpleMode);

    PasswordInfo& password = record.passwordInfo;
    profile.number(kPasswordInfo, u"savePassword", password.savePassword);
    if (password.savePassword != 0) {
        QString stored;
        profile.text(kPasswordInfo, u"password", stored);
        const auto plain = UnscramblePassword(platform::fromQString(stored));
        password.password = plain ? platform::toQString(*plain) : QString();
    }

    SetSettingInfo(record.settingInfo);
    SetMFPInfo(record.mfpInfo);
    SetPasswordInfo(record.passwordInfo);
}

bool SaveSettings(AppSettings& record) {
    SyncFromCurrent(record.settingInfo);
    SyncFromCurrent(record.mfpInfo);
    SyncFromCurrent(record.passwordInfo);

    ProfileWriter profile(ProfileFileName());
    const MFPInfo& mfp = record.mfpInfo;
    profile.text(kMFPInfo, u"machineName", mfp.machineName);
    profile.text(kMFPInfo, u"IPv4Address", mfp.IPv4Address);
    profile.text(kMFPInfo, u"deviceInternalName", mfp.deviceInternalName);
    profile.number(kMFPInfo, u"isUSB", mfp.isUSB);
    profile.number(kMFPInfo, u"isSpecifiedIPAddress", mfp.isSpecifiedIPAddress);
    profile.text(kMFPInfo, u"SpecifiedIPAddress", mfp.SpecifiedIPAddress);
    profile.number(kMFPInfo, u"httpPortNumber", mfp.httpPortNumber);
    profile.number(kMFPInfo, u"SearchPortNumber", mfp.SearchPortNumber);
    profile.number(kMFPInfo, u"isNotShowDlg", mfp.isNotShowDlg);

    const SettingInfo& setting = record.settingInfo;
    profile.text(kSettingInfo, u"machineName", setting.machineName);
    profile.number(kSettingInfo, u"boxIndex", setting.boxIndex);
    profile.text(kSettingInfo, u"folderPath", setting.folderPath);
    profile.number(kSettingInfo, u"ColorFormat", setting.ColorFormat);
    profile.number(kSettingInfo, u"MonoFormat", setting.MonoFormat);
    profile.number(kSettingInfo, u"DeleteFile", setting.DeleteFile);
    profile.number(kSettingInfo, u"SimpleMode", setting.SimpleMode);

    const PasswordInfo& password = record.passwordInfo;
    profile.number(kPasswordInfo, u"savePassword", password.savePassword);
    QString stored;
    if (password.savePassword != 0) {
        const auto scrambled = ScramblePassword(platform::fromQString(password.password));
        stored = scrambled ? platform::toQString(*scrambled) : QString();
    }
    profile.text(kPasswordInfo, u"password", stored);

    if (!profile.ok()) {
        ShowMessageBox(nullptr, FindTableText(MessageTextTable, kTextSaveFailed),
                       FindTableText(MessageTextTable, kCaptionSave), MB_OK | MB_ICONERROR);
    }
    return profile.ok();
}
