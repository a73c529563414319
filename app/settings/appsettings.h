#pragma once

#include <QString>

#include <cstdint>

// The user's settings: three groups, each copied whole in and out of CurrentSettings. Texts are
// UTF-16 QStrings owned by the record; copies are deep.

// The user's desktop folder, the default destination of saved documents; empty when the
// platform cannot name it.
QString DefaultDestinationFolder();

// Profile section "SettingInfo".
struct SettingInfo {
    QString machineName;    // the MFP these settings were last used with
    uint16_t boxIndex = 1;  // chosen box in the device's box list; 1 is the first box
    QString folderPath = DefaultDestinationFolder();  // destination of saved documents
    int32_t ColorFormat = 0;                          // colour output: 0 PDF, 1 JPEG
    int32_t MonoFormat = 0;  // black-and-white output: 0 PDF, 1 multi-page TIFF
    int32_t DeleteFile = 1;  // 1: delete the document from its box after saving it
    int32_t SimpleMode = 0;  // 0: advanced main window, 1: simple mode

    bool operator==(const SettingInfo&) const = default;
};

// Profile section "MFPInfo".
struct MFPInfo {
    QString machineName;               // display name from the search or USB listing
    QString IPv4Address;               // dotted address used for every network request
    QString deviceInternalName;        // still-image device name of a USB-attached MFP
    int32_t isUSB = 0;                 // 1: attached by USB
    int32_t isSpecifiedIPAddress = 0;  // 1: the user typed the address or host name
    QString SpecifiedIPAddress;        // what the user typed
    uint16_t httpPortNumber = 80;
    uint16_t SearchPortNumber = 61000;
    int32_t isNotShowDlg = 0;  // 1: do not show the MFP selection dialog at start-up

    bool operator==(const MFPInfo&) const = default;
};

// Profile section "PasswordInfo".
struct PasswordInfo {
    QString password;          // the box password in plain text: up to four digits
    int32_t savePassword = 0;  // 1: the password is stored in the profile

    bool operator==(const PasswordInfo&) const = default;
};

struct AppSettings {
    SettingInfo settingInfo;
    MFPInfo mfpInfo;
    PasswordInfo passwordInfo;

    bool operator==(const AppSettings&) const = default;
};
