#include "app/about/aboutdialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/about/programicon.h"
#include "app/texts/localizedialog.h"
#include "app/texts/textsources.h"
#include "app/texts/texttables.h"

namespace {

const CaptionTable kAboutCaptions = {
    {0, 101},
    {-1, 0},
};

QString ToQString(const std::optional<std::u16string>& text) {
    return text ? QString::fromStdU16String(*text) : QString();
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : DialogFrame(parent) {
    buildControls();
}

CAboutDlg::CAboutDlg(CVersionInformation versionInformation, QWidget* parent)
    : DialogFrame(parent), versionInformation_(std::move(versionInformation)) {
    buildControls();
}

void CAboutDlg::buildControls() {
    setWindowTitle(QStringLiteral("About"));
    setTemplateFont(9);
    setTemplateSize(275, 69);

    auto* icon = addControl<QLabel>(-1, QRect(11, 17, 20, 20));
    icon->setPixmap(ProgramIcon().pixmap(icon->size()));
    addControl<QLabel>(IdProduct, QRect(41, 12, 229, 8), QStringLiteral("Velnor"));
    addControl<QLabel>(-1, QRect(41, 24, 34, 8), QStringLiteral("Version:"));
    addControl<QLabel>(IdVersion, QRect(70, 24, 71, 8), QStringLiteral("X.X.X.X"));
    addControl<QLabel>(-1, QRect(41, 36, 37, 8), QStringLiteral("Language:"));
    addControl<QLabel>(IdLanguageVersion, QRect(75, 36, 69, 8), QStringLiteral("X.X.X.X"));
    addControl<QLabel>(IdNotice, QRect(41, 48, 229, 8));
    auto* ok = addControl<QPushButton>(IDOK, QRect(184, 22, 80, 17), QStringLiteral("OK"));
    ok->setDefault(true);
    setWindowIcon(ProgramIcon());
}

void CAboutDlg::onInitDialog() {
    productText_ = QStringLiteral("Arvenco Velnor");
    versionText_ = ToQString(versionInformation_.Query(kFileVersionPath));
    noticeText_ = ToQString(versionInformation_.Query(kLegalCopyrightPath));
    writeFields();
    control<QLabel>(IdLanguageVersion)->setText(LanguageFileVersion());
    LocalizeDialog(this, kAboutCaptions);
}

void CAboutDlg::readFields() {
    productText_ = control<QLabel>(IdProduct)->text();
    versionText_ = control<QLabel>(IdVersion)->text();
    noticeText_ = control<QLabel>(IdNotice)->text();
}

void CAboutDlg::writeFields() {
    control<QLabel>(IdProduct)->setText(productText_);
    control<QLabel>(IdVersion)->setText(versionText_);
    control<QLabel>(IdNotice)->setText(noticeText_);
}
