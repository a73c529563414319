#pragma once

#include <QString>

#include "app/about/versioninformation.h"
#include "platform/dialogframe.h"

class QLabel;

// The About box: product name, the program's file version, the version of the language file
// in use and the legal notice. Each opening reads the version values afresh; nothing is shown
// as a message when a value is missing (its control stays empty).
//
// Run modally by the main window; the OK button (id 1) ends it. The caller owns the dialog.
class CAboutDlg : public DialogFrame {
    Q_OBJECT
  public:
    enum ControlId {
        IdProduct = 102,
        IdVersion = 1121,
        IdLanguageVersion = 1122,
        IdNotice = 1124,
    };

    // Reads the program's own version block.
    explicit CAboutDlg(QWidget* parent = nullptr);
    // Reads `versionInformation` instead (tests, other modules).
    CAboutDlg(CVersionInformation versionInformation, QWidget* parent);

  protected:
    void onInitDialog() override;
    void readFields() override;
    void writeFields() override;

  private:
    void buildControls();

    QString productText_;
    QString versionText_;
    QString noticeText_;
    CVersionInformation versionInformation_;
};
