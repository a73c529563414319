#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/settings/currentsettings.h"
#include "platform/dialogframe.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The basic settings dialog: the box simple mode works on, the destination folder, the output
// formats, delete-after-save and the start-up mode, i.e. the SettingInfo group.
//
// Constructed with the main window's box-name list (entry 0 is the device itself, 1 and up the
// boxes). On OK the edited group is published to CurrentSettings and the dialog ends with IDOK;
// a folder text over 240 characters or one that names no existing folder is refused with a
// message and the dialog stays open. Cancel publishes nothing.
class CBasicSettingDlg : public DialogFrame {
    Q_OBJECT
  public:
    enum ControlId {
        IdDeviceNameLabel = 4601,
        IdDeviceName = 4001,
        IdBoxNameLabel = 4602,
        IdBoxChoice = 4201,
        IdFolderLabel = 4603,
        IdFolder = 4101,
        IdBrowse = 4501,
        IdFileFormatGroup = 4604,
        IdColorGroup = 4605,
        IdColorPdf = 4401,
        IdColorJpeg = 4402,
        IdMonoGroup = 4606,
        IdMonoPdf = 4403,
        IdMonoTiff = 4404,
        IdEraseGroup = 4607,
        IdDeleteAfterSave = 4301,
        IdModeGroup = 4608,
        IdAdvancedMode = 4405,
        IdSimpleMode = 4406,
        IdOk = 4502,
        IdCancel = 4503,
    };

    // The longest folder text the dialog accepts.
    static constexpr int kMaxFolderLength = 240;

    CBasicSettingDlg(const QStringList& boxNames, QWidget* parent = nullptr);

    // What the folder browser gives back: nothing when the user cancelled; otherwise the chosen
    // folder's file-system path, or nothing inside when the folder has none.
    using FolderBrowseResult = std::optional<std::optional<QString>>;
    using FolderBrowser = std::function<FolderBrowseResult(QWidget* owner)>;
    // Replaces the platform's folder browser (tests); an empty function restores it. Returns
    // the browser installed before.
    static FolderBrowser SetFolderBrowser(FolderBrowser browser);

  protected:
    void onInitDialog() override;
    void readFields() override;
    void writeFields() override;

  private:
    void onBrowse();
    void onAccept();

    QStringList boxNames_;
    SettingInfo settings_;
    QString deviceNameText_;
    QString folderText_;
    int colorFormat_ = 0;
    int monoFormat_ = 0;
    int deleteFlag_ = 0;
    int mode_ = 0;

    QLabel* deviceName_ = nullptr;
    QComboBox* boxChoice_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QButtonGroup* colorGroup_ = nullptr;
    QButtonGroup* monoGroup_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    QCheckBox* deleteAfterSave_ = nullptr;
};
