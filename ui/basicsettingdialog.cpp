#include "ui/basicsettingdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include "app/texts/localizedialog.h"
#include "app/texts/textsources.h"
#include "app/texts/texttables.h"
#include "platform/messagebox.h"
#include "ui/labelfit.h"

namespace {

// Longest path the browser is allowed to hand back, as the path buffer's upper bound.
constexpr int kMaxBrowsedPathLength = 65535;

const CaptionTable kBasicSettingCaptions = {
    {0, 13201},
    {CBasicSettingDlg::IdDeviceNameLabel, 13001},
    {CBasicSettingDlg::IdBoxNameLabel, 13002},
    {CBasicSettingDlg::IdFolderLabel, 13003},
    {CBasicSettingDlg::IdFileFormatGroup, 13004},
    {CBasicSettingDlg::IdColorGroup, 13005},
    {CBasicSettingDlg::IdMonoGroup, 13006},
    {CBasicSettingDlg::IdEraseGroup, 13007},
    {CBasicSettingDlg::IdModeGroup, 13008},
    {CBasicSettingDlg::IdDeleteAfterSave, 13101},
    {CBasicSettingDlg::IdColorPdf, 13102},
    {CBasicSettingDlg::IdColorJpeg, 13103},
    {CBasicSettingDlg::IdMonoPdf, 13104},
    {CBasicSettingDlg::IdMonoTiff, 13105},
    {CBasicSettingDlg::IdAdvancedMode, 13106},
    {CBasicSettingDlg::IdSimpleMode, 13107},
    {CBasicSettingDlg::IdBrowse, 13108},
    {CBasicSettingDlg::IdOk, 13109},
    {CBasicSettingDlg::IdCancel, 13110},
    {-1, 0},
};

// Refuses typing that would make the folder text longer than its limit, but lets a longer
// text that came from the settings be shown and shortened, so that OK can name the fault
// instead of the edit silently cutting the path.
class FolderLengthValidator : public QValidator {
  public:
    FolderLengthValidator(QLineEdit* edit, int limit)
        : QValidator(edit), edit_(edit), limit_(limit) {}
    State validate(QString& input, int&) const override {
        if (input.size() > limit_ && input.size() > edit_->text().size()) {
            return Invalid;
        }
        return Acceptable;
    }

  private:
    QLineEdit* edit_;
    int limit_;
};

CBasicSettingDlg::FolderBrowser& InstalledBrowser() {
    static CBasicSettingDlg::FolderBrowser browser;
    return browser;
}

CBasicSettingDlg::FolderBrowseResult PlatformFolderBrowser(QWidget* owner) {
    const QString path = QFileDialog::getExistingDirectory(owner);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return std::optional<QString>(QDir::toNativeSeparators(path));
}

QRadioButton* CheckedButton(QButtonGroup* group, int value) {
    return qobject_cast<QRadioButton*>(group->button(value));
}

void ShowSettingsError(QWidget* owner, int textId) {
    ShowMessageBox(owner, FindTableText(MessageTextTable, textId),
                   FindTableText(MessageTextTable, 20004), MB_OK | MB_ICONERROR);
}

}  // namespace

CBasicSettingDlg::FolderBrowser CBasicSettingDlg::SetFolderBrowser(FolderBrowser browser) {
    FolderBrowser previous = std::move(InstalledBrowser());
    InstalledBrowser() = std::move(browser);
    return previous;
}

CBasicSettingDlg::CBasicSettingDlg(const QStringList& boxNames, QWidget* parent)
    : DialogFrame(parent), boxNames_(boxNames) {
    setWindowTitle(QStringLiteral("Basic Settings"));
    setTemplateFont(8);
    setTemplateSize(262, 221);

    addControl<QLabel>(IdDeviceNameLabel, QRect(9, 8, 65, 8), QStringLiteral("Device Name:"));
    deviceName_ = addControl<QLabel>(IdDeviceName, QRect(82, 8, 155, 8));
    addControl<QLabel>(IdBoxNameLabel, QRect(9, 24, 67, 8), QStringLiteral("Box Name:"));
    // The template height includes the dropped-down list; the closed box is one edit high.
    boxChoice_ = addControl<QComboBox>(IdBoxChoice, QRect(80, 22, 62, 13));
    addControl<QLabel>(IdFolderLabel, QRect(8, 42, 68, 8), QStringLiteral("Destination Folder:"));
    folder_ = addControl<QLineEdit>(IdFolder, QRect(80, 40, 106, 14));
    folder_->setMaxLength(32767);
    folder_->setValidator(new FolderLengthValidator(folder_, kMaxFolderLength));
    addControl<QPushButton>(IdBrowse, QRect(206, 40, 49, 14), QStringLiteral("Browse"));

    addControl<QGroupBox>(IdFileFormatGroup, QRect(7, 57, 248, 69), QStringLiteral("File Format"));
    addControl<QGroupBox>(IdColorGroup, QRect(12, 66, 226, 26), QStringLiteral("Color"));
    colorGroup_ = new QButtonGroup(this);
    colorGroup_->addButton(
        addControl<QRadioButton>(IdColorPdf, QRect(20, 77, 29, 10), QStringLiteral("PDF")), 0);
    colorGroup_->addButton(
        addControl<QRadioButton>(IdColorJpeg, QRect(76, 77, 32, 10), QStringLiteral("JPEG")), 1);
    addControl<QGroupBox>(IdMonoGroup, QRect(12, 94, 226, 27), QStringLiteral("B/W"));
    monoGroup_ = new QButtonGroup(this);
    monoGroup_->addButton(
        addControl<QRadioButton>(IdMonoPdf, QRect(20, 106, 29, 10), QStringLiteral("PDF")), 0);
    monoGroup_->addButton(
        addControl<QRadioButton>(IdMonoTiff, QRect(76, 106, 31, 10), QStringLiteral("TIFF")), 1);

    addControl<QGroupBox>(IdEraseGroup, QRect(7, 130, 248, 28),
                          QStringLiteral("Erase document(s)"));
    deleteAfterSave_ = addControl<QCheckBox>(IdDeleteAfterSave, QRect(18, 143, 230, 10),
                                             QStringLiteral("Delete after save"));
    addControl<QGroupBox>(IdModeGroup, QRect(7, 163, 248, 28), QStringLiteral("Mode"));
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->addButton(addControl<QRadioButton>(IdAdvancedMode, QRect(18, 175, 65, 10),
                                                   QStringLiteral("Advanced Mode")),
                          0);
    modeGroup_->addButton(addControl<QRadioButton>(IdSimpleMode, QRect(95, 175, 60, 10),
                                                   QStringLiteral("Simple Mode")),
                          1);

    auto* ok = addControl<QPushButton>(IdOk, QRect(65, 200, 50, 14), QStringLiteral("OK"));
    ok->setDefault(true);
    addControl<QPushButton>(IdCancel, QRect(135, 200, 50, 14), QStringLiteral("Cancel"));

    // Group boxes are drawn behind the controls placed inside their frames.
    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        box->lower();
    }

    onCommand(IdBrowse, [this] { onBrowse(); });
    onCommand(IdOk, [this] { onAccept(); });
    onCommand(IdCancel, [this] { onCancel(); });
}

void CBasicSettingDlg::onInitDialog() {
    LocalizeDialog(this, kBasicSettingCaptions);
    FitLabelTexts(this);
    settings_ = GetSettingInfo();

    // Drop-down position p stands for boxIndex p + 1; entry 0 (the device) is not offered.
    // Inserted one by one at the end, never sorted.
    for (int i = 1; i < boxNames_.size(); ++i) {
        boxChoice_->insertItem(boxChoice_->count(), boxNames_[i]);
    }
    const int position = settings_.boxIndex == 0 ? 0 : settings_.boxIndex - 1;
    boxChoice_->setCurrentIndex(position < boxChoice_->count() ? position : -1);

    readFields();
    deviceNameText_ = settings_.machineName;
    folderText_ = settings_.folderPath;
    colorFormat_ = settings_.ColorFormat;
    monoFormat_ = settings_.MonoFormat;
    deleteFlag_ = settings_.DeleteFile;
    mode_ = settings_.SimpleMode;
    writeFields();
}

void CBasicSettingDlg::readFields() {
    deviceNameText_ = deviceName_->text();
    folderText_ = folder_->text();
    colorFormat_ = colorGroup_->checkedId();
    monoFormat_ = monoGroup_->checkedId();
    mode_ = modeGroup_->checkedId();
    deleteFlag_ = deleteAfterSave_->isChecked() ? 1 : 0;
}

void CBasicSettingDlg::writeFields() {
    deviceName_->setText(deviceNameText_);
    folder_->setText(folderText_);
    // A radio group value outside its buttons leaves every button of the group unchecked.
    for (auto [group, value] : {std::pair{colorGroup_, colorFormat_},
                                std::pair{monoGroup_, monoFormat_}, std::pair{modeGroup_, mode_}}) {
        if (QRadioButton* button = CheckedButton(group, value)) {
            button->setChecked(true);
        } else if (QAbstractButton* checked = group->checkedButton()) {
            group->setExclusive(false);
            checked->setChecked(false);
            group->setExclusive(true);
        }
    }
    deleteAfterSave_->setChecked(deleteFlag_ != 0);
}

void CBasicSettingDlg::onBrowse() {
    const FolderBrowser& installed = InstalledBrowser();
    const FolderBrowseResult browsed = installed ? installed(this) : PlatformFolderBrowser(this);
    if (!browsed) {
        return;
    }
    if (!browsed->has_value() || (*browsed)->isEmpty() ||
        (*browsed)->size() > kMaxBrowsedPathLength) {
        ShowSettingsError(this, 21013);
        return;
    }
    readFields();
    folderText_ = **browsed;
    writeFields();
}

void CBasicSettingDlg::onAccept() {
    readFields();
    if (folderText_.size() > kMaxFolderLength) {
        ShowSettingsError(this, 21013);
        return;
    }
    if (folderText_.isEmpty() || !QFileInfo(folderText_).isDir()) {
        ShowSettingsError(this, 21016);
        return;
    }
    const int position = boxChoice_->currentIndex();
    settings_.boxIndex =
        static_cast<decltype(settings_.boxIndex)>(position >= 0 ? position + 1 : 1);
    settings_.folderPath = folderText_;
    settings_.machineName = deviceNameText_;
    settings_.ColorFormat = colorFormat_;
    settings_.MonoFormat = monoFormat_;
    settings_.DeleteFile = deleteFlag_;
    settings_.SimpleMode = mode_;
    SetSettingInfo(settings_);
    endDialog(IDOK);
}
