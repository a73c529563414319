#include "ui/passworddialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/settings/currentsettings.h"
#include "app/texts/localizedialog.h"
#include "app/texts/textsources.h"
#include "app/texts/texttables.h"
#include "ui/labelfit.h"

namespace {

constexpr int kPasswordLength = 4;

const CaptionTable kPasswordCaptions = {
    {0, 14101},
    {CPasswordDlg::IdPasswordLabel, 14001},
    {CPasswordDlg::IdRangeHint, 14002},
    {CPasswordDlg::IdSavePassword, 14201},
    {CPasswordDlg::IdOk, 14202},
    {CPasswordDlg::IdCancel, 14203},
    {-1, 0},
};

}  // namespace

CPasswordDlg::CPasswordDlg(QWidget* parent) : DialogFrame(parent) {
    setWindowTitle(QStringLiteral("TWAIN Box Password"));
    setTemplateFont(8);
    setTemplateSize(156, 85);

    addControl<QGroupBox>(-1, QRect(7, 7, 142, 40));
    addControl<QLabel>(IdPasswordLabel, QRect(11, 24, 49, 8), QStringLiteral("Password:"));
    passwordEdit_ = addControl<QLineEdit>(IdPasswordEdit, QRect(55, 22, 40, 14));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setMaxLength(kPasswordLength);
    passwordEdit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,4}")), passwordEdit_));
    addControl<QLabel>(IdRangeHint, QRect(100, 24, 45, 8), QStringLiteral("(0001 - 9999)"));
    saveCheck_ = addControl<QCheckBox>(IdSavePassword, QRect(11, 51, 125, 10),
                                       QStringLiteral("Save Password"));
    auto* ok = addControl<QPushButton>(IdOk, QRect(17, 64, 50, 14), QStringLiteral("OK"));
    ok->setDefault(true);
    addControl<QPushButton>(IdCancel, QRect(87, 64, 50, 14), QStringLiteral("Cancel"));

    onCommand(IdOk, [this] { onAccept(); });
    onCommand(IdCancel, [this] { onCancel(); });
}

void CPasswordDlg::onInitDialog() {
    LocalizeDialog(this, kPasswordCaptions);
    FitLabelTexts(this);
    writeFields();
    passwordEdit_->setFocus();
}

void CPasswordDlg::readFields() {
    passwordText_ = passwordEdit_->text().left(kPasswordLength);
    saveFlag_ = saveCheck_->isChecked() ? 1 : 0;
}

void CPasswordDlg::writeFields() {
    passwordEdit_->setText(passwordText_);
    saveCheck_->setChecked(saveFlag_ != 0);
}

void CPasswordDlg::onAccept() {
    readFields();
    PasswordInfo info;
    info.password = passwordText_;
    info.savePassword = saveFlag_;
    SetPasswordInfo(info);
    endDialog(IDOK);
}

int AskBoxPassword(QWidget* owner) {
    CPasswordDlg dialog(owner);
    return dialog.exec() == IDOK ? 1 : 0;
}
