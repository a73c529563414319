// ListBoxes and the box-table lookups of the device access layer.

#include <cstring>

#include "device/deviceaccess.h"
#include "device/jobexchange.h"
#include "device/selectedmfp.h"
#include "device/textkey.h"
#include "device/usb/usbpath.h"

namespace {

QString EntryName(const BoxEntry& entry) {
    const char16_t* name = entry.name;
    qsizetype length = 0;
    while (length < kNameUnits - 1 && name[length] != u'\0') {
        ++length;
    }
    return QString(reinterpret_cast<const QChar*>(name), length);
}

int ValidCount(const BoxTable& table) {
    return table.count < 0 ? 0 : table.count > kBoxTableSize ? kBoxTableSize : table.count;
}

}  // namespace

namespace DeviceAccess {

int ListBoxes(const MFPInfo& mfp, QStringList& names) {
    names.clear();
    BoxTable& table = BoxTableFor(mfp);
    table.count = 0;
    BoxEntry& root = table.entries[0];
    root = BoxEntry{};
    root.folderId = 0;
    root.attribute = 1;
    if (mfp.isUSB != 0) {
        CopyTextToField("USB", root.name, kNameUnits);
    } else {
        CopyTextToField(ToDeviceText(mfp.IPv4Address).c_str(), root.name, kNameUnits);
    }

    int result = 0;
    const bool walked = RunDeviceJob(
        mfp, kUsbCommandList, UsbLock::UnlockThenLock,
        [](DeviceJob& job) { job.BuildStorageJob("LIST"); },
        [&](const ResponseNode& node) {
            BoxEntry& current = table.entries[table.count];
            switch (node.id()) {
                case kElemCode: {
                    const std::int32_t code = node.number(0);
                    result = code == kDeviceSuccess ? 1 : code;
                    return code == kDeviceSuccess;
                }
                case kElemFile:
                case kElemFolder:
                    if (table.count + 1 >= kBoxTableSize) {
                        return false;
                    }
                    ++table.count;
                    table.entries[table.count] = BoxEntry{};
                    result = 1;
                    return true;
                case kElemFolderId:
                    current.folderId = node.numberEx(current.folderId);
                    return true;
                case kElemFolderName:
                    CopyTextToField(node.text(), current.name, kNameUnits);
                    return true;
                case kElemAttribute:
                    current.attribute = node.numberEx(current.attribute);
                    return true;
                case kElemRootName:
                    CopyTextToField(node.text(), root.name, kNameUnits);
                    return true;
                default:
                    return true;
            }
        });
    if (walked) {
        ++table.count;
    }
    CurrentBoxNames(mfp, names);
    return result;
}

void CurrentBoxNames(const MFPInfo& mfp, QStringList& names) {
    const BoxTable& table = BoxTableFor(mfp);
    const int count = ValidCount(table);
    for (int i = 0; i < count; ++i) {
        names.append(EntryName(table.entries[i]));
    }
}

QString BoxName(const MFPInfo& mfp, int index) {
    const BoxTable& table = BoxTableFor(mfp);
    if (index < 0 || index >= ValidCount(table)) {
        return {};
    }
    return EntryName(table.entries[index]);
}

int FindBoxIndex(const MFPInfo& mfp, std::uint32_t treeKey) {
    if (treeKey == 0) {
        return 0;
    }
    const BoxTable& table = BoxTableFor(mfp);
    const int count = ValidCount(table);
    for (int i = 0; i < count; ++i) {
        if (table.entries[i].treeKey == treeKey) {
            return i;
        }
    }
    return -1;
}

bool BoxNeedsPassword(const MFPInfo& mfp, std::uint32_t treeKey) {
    const int index = FindBoxIndex(mfp, treeKey);
    if (index < 0 || index >= ValidCount(BoxTableFor(mfp))) {
        return false;
    }
    return (BoxTableFor(mfp).entries[index].attribute & kBoxNeedsPasswordBit) != 0;
}

}  // namespace DeviceAccess
