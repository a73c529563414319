#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "app/settings/appsettings.h"
#include "platform/dialogframe.h"

class QTreeWidget;

// The MFP selection dialog: the user picks a device found by a network search or attached by
// USB, or types an IP address or host name, and sets the HTTP and search ports. OK is accepted
// only after a box listing of the chosen device succeeded; the choice then becomes the MFPInfo
// group of CurrentSettings. Nothing is written to the profile here.
class CSelectMfpDlg : public DialogFrame {
    Q_OBJECT
  public:
    // Control ids of the dialog.
    enum : int {
        IDC_DEVICE_LIST = 1201,
        IDC_HOST_MODE = 3101,
        IDC_DO_NOT_SHOW = 3102,
        IDC_HOST = 3001,
        IDC_HTTP_PORT = 3002,
        IDC_SEARCH_PORT = 3003,
        IDC_PORT_GROUP = 3304,
        IDC_HTTP_PORT_LABEL = 3305,
        IDC_SEARCH_PORT_LABEL = 3306,
        IDC_HTTP_PORT_RANGE = 3307,
        IDC_SEARCH_PORT_RANGE = 3308,
        IDC_SEARCH = 3201,
        IDC_OK = 3202,
        IDC_CANCEL = 3203,
    };

    // `autoConfirm` non-zero runs the dialog hidden and presses OK at once (start-up with a
    // stored device); a refusal of that automatic OK hides `progressWindow` (when given and
    // still there) and shows the dialog. The dialog does not own `progressWindow`.
    CSelectMfpDlg(int autoConfirm, QWidget* progressWindow, QWidget* owner);

    // 1 when the last OK attempt failed its connection test, else 0.
    int connectFailed() const { return connectFailed_; }

    // The internal names of the USB rows of the device list, in list order.
    const QStringList& usbInternalNames() const { return usbInternalNames_; }

  protected:
    void onInitDialog() override;
    void readFields() override;
    void writeFields() override;

  private:
    void createControls();
    void onHostModeClicked();
    void onSearch();
    void onConfirm();
    void applyHostMode();
    // Shows a refusal of OK; while the dialog runs hidden it also hides the progress window
    // and lets the dialog show.
    void refuse(int textId, int captionId);
    void searchMfps(std::uint32_t port, QStringList& names, QStringList& addresses);
    bool connectTest(bool& emptyKey);

    QString httpPortText_;
    QString searchPortText_;
    int hostMode_ = 0;
    int doNotShow_ = 0;
    QString hostText_;
    QStringList usbInternalNames_;
    MFPInfo mfp_;
    int autoConfirm_ = 0;
    QPointer<QWidget> progressWindow_;
    int connectFailed_ = 0;
    bool runningHidden_ = false;
    QTreeWidget* list_ = nullptr;
};

// Runs the selection dialog modally. Returns 1 when it ended with OK, after copying the MFPInfo
// group of CurrentSettings into `settings` and setting SettingInfo.machineName of
// CurrentSettings to the new IPv4Address when isSpecifiedIPAddress is 1, else to the new
// machineName; -1 when it was cancelled after an OK attempt of this run failed its connection
// test; 0 when it was cancelled otherwise.
int SelectMfp(int autoConfirm, QWidget* progressWindow, AppSettings& settings, QWidget* owner);
