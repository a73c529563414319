#include "device/selectmfp/selectmfpdialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/binding/applicationlibraries.h"
#include "app/folders/digitfilter.h"
#include "app/settings/currentsettings.h"
#include "app/texts.h"
#include "device/deviceaccess.h"
#include "device/selectmfp/dottedquad.h"
#include "device/usb/usbpath.h"
#include "platform/hostresolve.h"
#include "platform/messagebox.h"

namespace {

constexpr int kTextCommunication = 20001;
constexpr int kTextSelectMfp = 20003;
constexpr int kTextUnableToConnect = 21001;
constexpr int kTextNoDeviceSelected = 21007;
constexpr int kTextEnterHost = 21008;
constexpr int kTextNoAddress = 21009;
constexpr int kTextBadPort = 21015;
constexpr int kTextUsb = 8003;
constexpr int kTextDeviceNameColumn = 12001;
constexpr int kTextConnectToColumn = 12002;

constexpr int kHostTextLimit = 255;
constexpr int kPortTextLimit = 5;
constexpr unsigned kMaxPort = 65535;

const CaptionTable kSelectMfpCaptions = {
    {0, 12101},    {3101, 12102}, {3102, 12103}, {3201, 12104}, {3202, 12105}, {3203, 12106},
    {3304, 12004}, {3305, 12005}, {3306, 12006}, {3307, 12007}, {3308, 12008}, {-1, 0},
};

// A port text as a number: its leading decimal digits (none gives 0). Reports a text that is
// empty or whose value exceeds 65535 as invalid.
bool ParsePortText(const QString& text, std::uint16_t& port) {
    if (text.isEmpty()) {
        return false;
    }
    unsigned value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = value * 10 + static_cast<unsigned>(c.unicode() - u'0');
        if (value > kMaxPort) {
            return false;
        }
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

// A text of one of the record's zero-terminated UTF-16 fields, read no further than the field.
QString RecordText(const char16_t* field, std::size_t units) {
    std::size_t length = 0;
    while (length < units && field[length] != 0) {
        ++length;
    }
    return QString::fromUtf16(field, static_cast<qsizetype>(length));
}

}  // namespace

CSelectMfpDlg::CSelectMfpDlg(int autoConfirm, QWidget* progressWindow, QWidget* owner)
    : DialogFrame(owner), autoConfirm_(autoConfirm), progressWindow_(progressWindow) {
    setTemplateFont(9);
    setTemplateSize(203, 251);
    createControls();
    onCommand(IDC_SEARCH, [this] { onSearch(); });
    onCommand(IDC_OK, [this] { onConfirm(); });
    onCommand(IDC_CANCEL, [this] { onCancel(); });
    onCommand(IDC_HOST_MODE, [this] { onHostModeClicked(); });
    // Enter presses OK, the default button.
    onCommand(IDOK, [this] { onConfirm(); });
}

void CSelectMfpDlg::createControls() {
    list_ = addControl<QTreeWidget>(IDC_DEVICE_LIST, QRect(7, 7, 189, 83));
    list_->setColumnCount(2);
    list_->setHeaderLabels(
        {LoadLocalizedText(kTextDeviceNameColumn), LoadLocalizedText(kTextConnectToColumn)});
    list_->setColumnWidth(0, 175);
    list_->setColumnWidth(1, 150);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(false);

    addControl<QGroupBox>(-1, QRect(7, 93, 189, 35));
    addControl<QCheckBox>(IDC_HOST_MODE, QRect(13, 93, 169, 10), u"IP address or Hostname "_qs);
    auto* host = addControl<QLineEdit>(IDC_HOST, QRect(21, 108, 135, 14));
    host->setMaxLength(kHostTextLimit);

    addControl<QGroupBox>(IDC_PORT_GROUP, QRect(7, 132, 189, 77), u"Specify the Port Number"_qs);
    addControl<QLabel>(IDC_HTTP_PORT_LABEL, QRect(14, 147, 170, 8),
                       u"HTTP Port Number:   (Default:80)"_qs);
    auto* httpPort = addControl<QLineEdit>(IDC_HTTP_PORT, QRect(21, 160, 76, 14));
    addControl<QLabel>(IDC_HTTP_PORT_RANGE, QRect(107, 163, 75, 8), u"(0 - 65535)"_qs);
    addControl<QLabel>(IDC_SEARCH_PORT_LABEL, QRect(15, 179, 171, 8),
                       u"Search Port Number:   (Default:61000)"_qs);
    auto* searchPort = addControl<QLineEdit>(IDC_SEARCH_PORT, QRect(21, 191, 76, 14));
    addControl<QLabel>(IDC_SEARCH_PORT_RANGE, QRect(107, 194, 77, 8), u"(0 - 65535)"_qs);

    // Reaches the dialog's right margin: this platform's dialog font runs wider than the one the
    // layout was drawn for, and the sentence must not be cut.
    addControl<QCheckBox>(IDC_DO_NOT_SHOW, QRect(13, 213, 183, 13),
                          u"Do not show this dialog when the application starts"_qs);
    addControl<QPushButton>(IDC_SEARCH, QRect(7, 230, 50, 14), u"Search"_qs);
    auto* ok = addControl<QPushButton>(IDC_OK, QRect(79, 230, 48, 14), u"OK"_qs);
    ok->setDefault(true);
    addControl<QPushButton>(IDC_CANCEL, QRect(150, 230, 46, 14), u"Cancel"_qs);

    for (QLineEdit* port : {httpPort, searchPort}) {
        port->setMaxLength(kPortTextLimit);
        connect(port, &QLineEdit::textChanged, this, [port] { KeepDigitsOnly(port); });
    }
    for (QLineEdit* edit : {host, httpPort, searchPort}) {
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

void CSelectMfpDlg::onInitDialog() {
    LocalizeDialog(this, kSelectMfpCaptions);

    mfp_ = GetMFPInfo();
    hostMode_ = mfp_.isSpecifiedIPAddress;
    usbInternalNames_.clear();
    list_->clear();
    if (hostMode_ == 0) {
        if (!mfp_.machineName.isEmpty()) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, mfp_.machineName);
            if (mfp_.isUSB != 0) {
                item->setText(1, FindTableText(LabelTextTable, kTextUsb));
                usbInternalNames_.append(mfp_.deviceInternalName);
            } else {
                item->setText(1, mfp_.IPv4Address);
            }
            list_->setCurrentItem(item);
            item->setSelected(true);
            list_->setFocus();
        }
    } else {
        hostText_ = mfp_.SpecifiedIPAddress;
    }
    doNotShow_ = mfp_.isNotShowDlg;
    httpPortText_ = QString::number(mfp_.httpPortNumber);
    searchPortText_ = QString::number(mfp_.SearchPortNumber);
    writeFields();
    applyHostMode();

    if (Libraries().searchAgent.SSAGetDetectedMFPAddrSpecifyPortW() == nullptr) {
        control<QLineEdit>(IDC_SEARCH_PORT)->setReadOnly(true);
    }

    // The automatic OK of start-up runs before the dialog is ever shown: when it succeeds the
    // dialog ends unseen; a refusal lets it show so the user can correct or cancel. It applies
    // to this first attempt only: later OKs take the row the user selected.
    if (autoConfirm_ != 0) {
        runningHidden_ = true;
        onConfirm();
        runningHidden_ = false;
        autoConfirm_ = 0;
    }
}

void CSelectMfpDlg::readFields() {
    httpPortText_ = control<QLineEdit>(IDC_HTTP_PORT)->text().left(kPortTextLimit);
    searchPortText_ = control<QLineEdit>(IDC_SEARCH_PORT)->text().left(kPortTextLimit);
    hostMode_ = control<QCheckBox>(IDC_HOST_MODE)->isChecked() ? 1 : 0;
    doNotShow_ = control<QCheckBox>(IDC_DO_NOT_SHOW)->isChecked() ? 1 : 0;
    hostText_ = control<QLineEdit>(IDC_HOST)->text().left(kHostTextLimit);
}

void CSelectMfpDlg::writeFields() {
    control<QLineEdit>(IDC_HTTP_PORT)->setText(httpPortText_);
    control<QLineEdit>(IDC_SEARCH_PORT)->setText(searchPortText_);
    control<QCheckBox>(IDC_HOST_MODE)->setChecked(hostMode_ != 0);
    control<QCheckBox>(IDC_DO_NOT_SHOW)->setChecked(doNotShow_ != 0);
    control<QLineEdit>(IDC_HOST)->setText(hostText_);
}

void CSelectMfpDlg::applyHostMode() {
    control<QLineEdit>(IDC_HOST)->setEnabled(hostMode_ != 0);
    list_->setEnabled(hostMode_ == 0);
}

void CSelectMfpDlg::onHostModeClicked() {
    readFields();
    applyHostMode();
}

void CSelectMfpDlg::searchMfps(std::uint32_t port, QStringList& names, QStringList& addresses) {
    const CSearchAgentLibrary& agent = Libraries().searchAgent;
    std::uint32_t count = 0;
    MfpAddressRecord* records = nullptr;
    if (auto search = agent.SSAGetDetectedMFPAddrSpecifyPortW()) {
        records = search(this, 0, &count, 0, port);
    } else if (auto searchDefault = agent.SSAGetDetectedMFPAddrW()) {
        records = searchDefault(this, 0, &count, 0);
    } else {
        return;
    }
    if (records != nullptr) {
        for (std::uint32_t i = 0; i < count; ++i) {
            names.append(RecordText(records[i].name, std::size(records[i].name)));
            addresses.append(RecordText(records[i].address, std::size(records[i].address)));
        }
        if (auto release = agent.SSAFreeMFPAddrW()) {
            release(records);
        }
    }
}

void CSelectMfpDlg::onSearch() {
    readFields();
    list_->clear();
    usbInternalNames_.clear();

    QStringList names;
    QStringList addresses;
    QStringList internalNames;
    if (Libraries().stillImage.isLoaded()) {
        EnumerateUsbDevices(names, internalNames, addresses);
        usbInternalNames_ = internalNames;
    }

    std::uint16_t port = 0;
    if (!ParsePortText(searchPortText_, port)) {
        ShowMessageBox(this, FindTableText(MessageTextTable, kTextBadPort),
                       FindTableText(MessageTextTable, kTextSelectMfp), MB_OK | MB_ICONERROR);
    } else {
        mfp_.SearchPortNumber = port;
        searchMfps(port, names, addresses);
        if (names.isEmpty()) {
            searchMfps(port, names, addresses);
        }
    }

    const QString usb = FindTableText(LabelTextTable, kTextUsb);
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, names.at(i));
        const QString address = i < addresses.size() ? addresses.at(i) : QString();
        item->setText(1, address.isEmpty() ? usb : address);
    }
}

void CSelectMfpDlg::refuse(int textId, int captionId) {
    ShowMessageBox(runningHidden_ ? nullptr : this, FindTableText(MessageTextTable, textId),
                   FindTableText(MessageTextTable, captionId), MB_OK | MB_ICONERROR);
    if (runningHidden_ && progressWindow_ && progressWindow_->isVisible()) {
        progressWindow_->hide();
    }
}

bool CSelectMfpDlg::connectTest(bool& emptyKey) {
    const QString key = mfp_.isUSB != 0 ? mfp_.deviceInternalName : mfp_.IPv4Address;
    emptyKey = key.isEmpty();
    if (emptyKey) {
        return false;
    }
    QStringList names;
    return DeviceAccess::ListBoxes(mfp_, names) == 1;
}

void CSelectMfpDlg::onConfirm() {
    readFields();

    if (hostMode_ == 0) {
        QTreeWidgetItem* item = nullptr;
        if (autoConfirm_ != 0) {
            item = list_->topLevelItem(0);
        } else {
            const QList<QTreeWidgetItem*> selected = list_->selectedItems();
            item = selected.isEmpty() ? nullptr : selected.first();
        }
        if (item == nullptr) {
            refuse(kTextNoDeviceSelected, kTextSelectMfp);
            return;
        }
        mfp_.machineName = item->text(0);
        if (item->text(1) == FindTableText(LabelTextTable, kTextUsb)) {
            const int row = list_->indexOfTopLevelItem(item);
            mfp_.isUSB = 1;
            mfp_.deviceInternalName =
                row >= 0 && row < usbInternalNames_.size() ? usbInternalNames_.at(row) : QString();
            mfp_.IPv4Address.clear();
        } else {
            mfp_.isUSB = 0;
            mfp_.IPv4Address = item->text(1);
            mfp_.deviceInternalName.clear();
        }
    } else {
        if (hostText_.isEmpty()) {
            refuse(kTextEnterHost, kTextSelectMfp);
            return;
        }
        if (IsDottedQuad(hostText_)) {
            mfp_.IPv4Address = hostText_;
        } else {
            const QString address = ResolveHostToIPv4(hostText_);
            if (address.isEmpty()) {
                refuse(kTextNoAddress, kTextSelectMfp);
                return;
            }
            mfp_.IPv4Address = address;
        }
        mfp_.machineName.clear();
        mfp_.deviceInternalName.clear();
        mfp_.isUSB = 0;
    }

    std::uint16_t httpPort = 0;
    std::uint16_t searchPort = 0;
    if (!ParsePortText(httpPortText_, httpPort) || !ParsePortText(searchPortText_, searchPort)) {
        refuse(kTextBadPort, kTextSelectMfp);
        return;
    }
    mfp_.httpPortNumber = httpPort;
    mfp_.SearchPortNumber = searchPort;

    bool emptyKey = false;
    if (connectTest(emptyKey)) {
        mfp_.isNotShowDlg = doNotShow_;
        mfp_.isSpecifiedIPAddress = hostMode_;
        mfp_.SpecifiedIPAddress = hostText_;
        SetMFPInfo(mfp_);
        connectFailed_ = 0;
        endDialog(IDOK);
        return;
    }
    if (emptyKey) {
        refuse(kTextNoDeviceSelected, kTextSelectMfp);
    } else {
        refuse(kTextUnableToConnect, kTextCommunication);
    }
    connectFailed_ = 1;
}

int SelectMfp(int autoConfirm, QWidget* progressWindow, AppSettings& settings, QWidget* owner) {
    CSelectMfpDlg dialog(autoConfirm, progressWindow, owner);
    if (dialog.exec() == IDOK) {
        settings.mfpInfo = GetMFPInfo();
        SettingInfo info = GetSettingInfo();
        info.machineName = settings.mfpInfo.isSpecifiedIPAddress == 1
                               ? settings.mfpInfo.IPv4Address
                               : settings.mfpInfo.machineName;
        SetSettingInfo(info);
        return 1;
    }
    return dialog.connectFailed() == 1 ? -1 : 0;
}
