// The simple mode's document view: the newest document of the configured box, then, after each
// save, the next older one.
#include "device/deviceaccess.h"
#include "ui/maindialog.h"
#include "ui/passworddialog.h"
#include "ui/uitexts.h"

void CMainDlg::ClearSimpleDocumentTexts() {
    simpleFileNumberText_.clear();
    simpleDateText_.clear();
    simplePagesText_.clear();
    simpleColourText_.clear();
    simpleFormatText_.clear();
}

void CMainDlg::SetSimpleDocumentTexts(const QString& fileName, const QString& date,
                                      const QString& pages, std::int32_t colourFlag) {
    simpleFileNumberText_ = fileName;
    simpleDateText_ = date;
    simplePagesText_ = pages;
    if (colourFlag == 0) {
        simpleColourText_ = LabelText(8001);
        simpleFormatText_ =
            settings_.MonoFormat != 0 ? QStringLiteral("TIFF") : QStringLiteral("PDF");
    } else if (colourFlag == 1) {
        simpleColourText_ = LabelText(8002);
        simpleFormatText_ =
            settings_.ColorFormat != 0 ? QStringLiteral("JPEG") : QStringLiteral("PDF");
    }
}

void CMainDlg::ShowNewestDocument(bool relist) {
    settings_ = SyncFromCurrent(record_.settingInfo);
    device_ = SyncFromCurrent(record_.mfpInfo);
    password_ = SyncFromCurrent(record_.passwordInfo);

    int remembered = 0;
    if (relist) {
        const int listed = DeviceAccess::ListBoxes(device_, simpleBoxNames_);
        if (listed == 0) {
            ReportDeviceError(0);
            return;
        }
        remembered = listed;
    } else {
        simpleBoxNames_.clear();
        DeviceAccess::CurrentBoxNames(device_, simpleBoxNames_);
    }

    simpleDeviceText_ = settings_.machineName;
    if (device_.isUSB == 0 && settings_.machineName.isEmpty()) {
        simpleDeviceText_ = device_.IPv4Address;
    }
    const int boxIndex = settings_.boxIndex;
    simpleBoxText_ = DeviceAccess::BoxName(device_, boxIndex);
    simpleFolderText_ = settings_.folderPath;

    // A configured box that the device no longer has (or the root) shows no document: there is
    // nothing to list, and no failure of the connection to report.
    const BoxTable& boxes = BoxTableFor(device_);
    if (boxIndex < 1 || boxIndex >= boxes.count) {
        simpleDocument_ = SimpleDocument();
        ClearSimpleDocumentTexts();
        writeFields();
        return;
    }

    for (;;) {
        const bool needsPassword =
            remembered == 807 || (boxes.entries[boxIndex].attribute & kBoxNeedsPasswordBit) != 0;
        if (needsPassword && password_.savePassword == 0) {
            if (AskBoxPassword(this) == 0) {
                ClearSimpleDocumentTexts();
                writeFields();
                return;
            }
            password_ = SyncFromCurrent(record_.passwordInfo);
        }
        std::int32_t code = 0;
        if (DeviceAccess::ListDocuments(device_, 0, boxIndex, password_.password, &code) != 0) {
            // Pick the newest document: the lists sorted oldest first, the table in step.
            simpleFileNames_.clear();
            simpleTimestamps_.clear();
            simplePageCounts_.clear();
            DeviceAccess::DocumentColumns(device_, simpleFileNames_, simpleTimestamps_,
                                          simplePageCounts_, ColourFlags);
            DeviceAccess::SortDocumentsByTime(device_, simpleFileNames_, simpleTimestamps_,
                                              simplePageCounts_, ColourFlags);
            const int count = static_cast<int>(simpleFileNames_.size());
            simpleDocument_ = SimpleDocument();
            if (count > 0) {
                simpleDocument_.fileName = simpleFileNames_[count - 1];
                simpleDocument_.date = simpleTimestamps_.value(count - 1);
                simpleDocument_.pageCount = simplePageCounts_.value(count - 1);
                simpleDocument_.colourFlag = ColourFlags[static_cast<std::size_t>(count - 1)];
                simpleDocument_.index = count - 1;
            }
            if (simpleDocument_.index == -1) {
                ClearSimpleDocumentTexts();
            } else {
                SetSimpleDocumentTexts(simpleDocument_.fileName, simpleDocument_.date,
                                       simpleDocument_.pageCount, simpleDocument_.colourFlag);
                savedCount = 0;
            }
            writeFields();
            return;
        }
        // A refused password (807) clears the saved flag, so the next round asks again.
        ReportDeviceError(code);
        remembered = code;
        if (code != 807) {
            return;
        }
    }
}

void CMainDlg::ShowDocumentAt(int position) {
    if (position < 0 || position >= simpleFileNames_.size()) {
        ClearSimpleDocumentTexts();
        simpleDocument_.index = -1;
    } else {
        SetSimpleDocumentTexts(simpleFileNames_[position], simpleTimestamps_.value(position),
                               simplePageCounts_.value(position),
                               ColourFlags[static_cast<std::size_t>(position)]);
    }
    writeFields();
}
