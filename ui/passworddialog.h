#pragma once

#include <QString>

#include "platform/dialogframe.h"

class QCheckBox;
class QLineEdit;

// The box password dialog: asks for the numeric password of a protected box and whether to
// keep it. Each opening starts with an empty edit and an unchecked "Save Password".
//
// On OK the entered text (at most 4 digits, the empty text included; the range hint is not
// checked) and the save flag are published as the PasswordInfo group of CurrentSettings and
// the dialog ends with IDOK. Cancel publishes nothing.
class CPasswordDlg : public DialogFrame {
    Q_OBJECT
  public:
    enum ControlId {
        IdPasswordLabel = 6301,
        IdPasswordEdit = 6001,
        IdRangeHint = 6302,
        IdSavePassword = 6101,
        IdOk = 6201,
        IdCancel = 6202,
    };

    explicit CPasswordDlg(QWidget* parent = nullptr);

  protected:
    void onInitDialog() override;
    void readFields() override;
    void writeFields() override;

  private:
    void onAccept();

    QString passwordText_;
    int saveFlag_ = 0;
    QLineEdit* passwordEdit_ = nullptr;
    QCheckBox* saveCheck_ = nullptr;
};

// Asks for a box password with a new CPasswordDlg owned by `owner`. Returns 1 when the user
// pressed OK (CurrentSettings then holds the new PasswordInfo group) and 0 otherwise.
int AskBoxPassword(QWidget* owner);
