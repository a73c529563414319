// The main window's menu and system commands and its report of device errors.
#include <QLabel>

#include "app/about/aboutdialog.h"
#include "device/deviceaccess.h"
#include "ui/basicsettingdialog.h"
#include "ui/imagepane.h"
#include "ui/maindialog.h"
#include "ui/progress/progressdialog.h"
#include "ui/uitexts.h"

void CMainDlg::OnBasicSettings() {
    if (mode_ != ModeSimple) {
        if (advancedBoxNames_.isEmpty()) {
            DeviceAccess::ListBoxes(device_, advancedBoxNames_);
        }
        CBasicSettingDlg dialog(advancedBoxNames_, this);
        if (dialog.exec() != IDOK) {
            return;
        }
        // The tree and the list stay as they are; only the settings and the delete flag follow.
        settings_ = SyncFromCurrent(record_.settingInfo);
        deleteAfterSave_ = settings_.DeleteFile;
        writeFields();
        return;
    }
    CBasicSettingDlg dialog(simpleBoxNames_, this);
    if (dialog.exec() == IDOK) {
        RefreshView(false);
    }
}

void CMainDlg::OnSelectMfp() {
    switch (RunMfpSelection()) {
        case 1:
            device_ = SyncFromCurrent(record_.mfpInfo);
            RefreshView(false);
            break;
        case -1:
            RefreshView(true);
            break;
        default:
            break;
    }
}

void CMainDlg::OnSystemCommand(int id) {
    if ((id & ~0xF) == IdSystemAbout) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CMainDlg::ReportDeviceError(int code) {
    const int textId = code >= 333 && code <= 338 ? 21004 : 21001;
    ShowMessage(this, textId, 20001);
    if (code == 807) {
        password_.savePassword = 0;
        SetPasswordInfo(password_);
    }
    if (mode_ == ModeSimple) {
        simpleDeviceText_ = settings_.machineName;
        simpleFolderText_ = settings_.folderPath;
        simpleBoxText_.clear();
        simpleFileNumberText_.clear();
        simpleDateText_.clear();
        simplePagesText_.clear();
        simpleColourText_.clear();
        simpleFormatText_.clear();
        writeFields();
    }
}

QString CMainDlg::DeviceKey() const {
    return device_.isUSB != 0 ? device_.deviceInternalName : device_.IPv4Address;
}

CProgressDlg& CMainDlg::ProgressDialog() {
    if (!progress_) {
        progress_ = std::make_unique<CProgressDlg>(kProgressSave, this);
    }
    return *progress_;
}

void CMainDlg::RequestCancel() {
    saveJob_.cancelRequested = 1;
}

void CMainDlg::SwitchToSimpleModeWithPreparingWindow() {
    // The waiting window stays up while the simple view lists the box, then goes.
    CProgressDlg preparing(kProgressPreparingSimpleMode, this);
    preparing.raise();
    preparing.activateWindow();
    SetMode(ModeSimple);
}

void CMainDlg::ClearPreviewImage() {
    previewImage_ = QImage();
    previewRect_ = QRect();
    previewPane_->update();
    update();
}
