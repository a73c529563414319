#include "app/settings/currentsettings.h"

#include <mutex>

namespace {

struct Current {
    std::mutex lock;
    AppSettings settings;
};

// Created with the defaults on first use (the desktop folder is asked for then, not while the
// program is still loading).
Current& current() {
    static Current instance;
    return instance;
}

template <class Group>
Group get(Group AppSettings::*member) {
    Current& c = current();
    std::lock_guard guard(c.lock);
    return c.settings.*member;
}

template <class Group>
void set(Group AppSettings::*member, const Group& group) {
    Current& c = current();
    std::lock_guard guard(c.lock);
    c.settings.*member = group;
}

}  // namespace

SettingInfo GetSettingInfo() {
    return get(&AppSettings::settingInfo);
}
void SetSettingInfo(const SettingInfo& group) {
    set(&AppSettings::settingInfo, group);
}
MFPInfo GetMFPInfo() {
    return get(&AppSettings::mfpInfo);
}
void SetMFPInfo(const MFPInfo& group) {
    set(&AppSettings::mfpInfo, group);
}
PasswordInfo GetPasswordInfo() {
    return get(&AppSettings::passwordInfo);
}
void SetPasswordInfo(const PasswordInfo& group) {
    set(&AppSettings::passwordInfo, group);
}

SettingInfo SyncFromCurrent(SettingInfo& group) {
    group = GetSettingInfo();
    return group;
}

MFPInfo SyncFromCurrent(MFPInfo& group) {
    group = GetMFPInfo();
    return group;
}

PasswordInfo SyncFromCurrent(PasswordInfo& group) {
    group = GetPasswordInfo();
    return group;
}
