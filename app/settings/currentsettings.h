#pragma once

#include "app/settings/appsettings.h"

// CurrentSettings: the one process-wide copy of the settings, holding the defaults until start-up
// loads the profile. It is read and replaced one group at a time, always by copy. Safe to call
// from any thread (the save worker reads copies while the user-interface thread waits).

SettingInfo GetSettingInfo();
void SetSettingInfo(const SettingInfo& group);
MFPInfo GetMFPInfo();
void SetMFPInfo(const MFPInfo& group);
PasswordInfo GetPasswordInfo();
void SetPasswordInfo(const PasswordInfo& group);

// Overwrite the given group of a record (`record.settingInfo` etc.) with the group in
// CurrentSettings, and return a copy of it.
SettingInfo SyncFromCurrent(SettingInfo& group);
MFPInfo SyncFromCurrent(MFPInfo& group);
PasswordInfo SyncFromCurrent(PasswordInfo& group);
