// The MFP selection: which host texts are addresses, and the dialog's OK and Search against
// the device simulator on loopback, through the program's own library binding.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/binding/applicationlibraries.h"
#include "app/settings/currentsettings.h"
#include "app/texts.h"
#include "device/selectmfp/dottedquad.h"
#include "device/selectmfp/selectmfpdialog.h"
#include "platform/messageboxrecorder.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "selectmfp_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* created = new QApplication(argc, argv);
        FillTextTable(MessageTextTable);
        FillTextTable(LabelTextTable);
        return created;
    }();
    return *app;
}

struct DottedQuadCase {
    const char* text;
    bool dotted;
};

class DottedQuadTest : public ::testing::TestWithParam<DottedQuadCase> {};

TEST_P(DottedQuadTest, DecidesWhetherANameLookupIsNeeded) {
    EXPECT_EQ(IsDottedQuad(QString::fromUtf8(GetParam().text)), GetParam().dotted)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DottedQuadTest,
    ::testing::Values(DottedQuadCase{"192.168.1.20", true}, DottedQuadCase{"127.0.0.1", true},
                      DottedQuadCase{"0.0.0.0", true}, DottedQuadCase{" 10. 1.2.3", true},
                      DottedQuadCase{"10..1.2.3", true}, DottedQuadCase{"192.168.1", false},
                      DottedQuadCase{"192.168.1.20.5", false}, DottedQuadCase{"300.1.1.1", false},
                      DottedQuadCase{"1.2.3.256", false}, DottedQuadCase{"1.2.3.4x", false},
                      DottedQuadCase{"mfp.local", false}, DottedQuadCase{"", false}));

// A simulator with discovery and a USB channel, the program's libraries bound from the program
// folder, and message boxes recorded.
class SelectMfpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        registry_ = std::make_unique<TempFolder>("registry");
        const std::string registryFile = registry_->file("stidevices.ini");
        setenv("VELNOR_STI_REGISTRY", registryFile.c_str(), 1);
        setenv("VELNOR_SEARCH_TARGETS", "127.0.0.1", 1);
        setenv("VELNOR_SEARCH_WAIT_MS", "300", 1);
        store_ = std::make_unique<TempFolder>("store");
        sim_ = std::make_unique<SimulatorProcess>(SimulatorOptions{
            .store = store_->path(),
            .seedDemo = true,
            .misbehave = {},
            .extraArgs = {"--search-port", "0", "--usb-socket", registry_->file("usb.sock"),
                          "--usb-registry", registryFile}});
        ASSERT_TRUE(sim_->running()) << sim_->error();
        recorder_ = std::make_unique<MessageBoxRecorder>();
        libraries_ = std::make_unique<ApplicationLibraries>();
        ASSERT_EQ(libraries_->Bind(u"caption"_qs, u"%s"_qs), 0)
            << (recorder_->calls().empty() ? "" : recorder_->calls()[0].text.toStdString());
        SetMFPInfo(MFPInfo{});
        SetSettingInfo(SettingInfo{});
    }
    void TearDown() override {
        recorder_.reset();
        libraries_.reset();
        sim_.reset();
    }

    QString searchPort() const {
        return QString::fromStdString(sim_->announcements().at("search-port"));
    }

    std::vector<QString> messages() const {
        std::vector<QString> texts;
        for (const MessageBoxCall& call : recorder_->calls()) {
            texts.push_back(call.caption + u'|' + call.text);
        }
        return texts;
    }

    std::unique_ptr<TempFolder> registry_;
    std::unique_ptr<TempFolder> store_;
    std::unique_ptr<SimulatorProcess> sim_;
    std::unique_ptr<ApplicationLibraries> libraries_;
    std::unique_ptr<MessageBoxRecorder> recorder_;
};

TEST_F(SelectMfpTest, TypedAddressIsConfirmedByABoxListingAndBecomesTheSelection) {
    MFPInfo stored;
    stored.isSpecifiedIPAddress = 1;
    stored.SpecifiedIPAddress = u"127.0.0.1"_qs;
    stored.httpPortNumber = sim_->port();
    stored.isNotShowDlg = 1;
    SetMFPInfo(stored);

    AppSettings settings;
    EXPECT_EQ(SelectMfp(1, nullptr, settings, nullptr), 1);
    EXPECT_TRUE(messages().empty());

    const MFPInfo chosen = GetMFPInfo();
    EXPECT_EQ(chosen.IPv4Address, u"127.0.0.1"_qs);
    EXPECT_TRUE(chosen.machineName.isEmpty());
    EXPECT_EQ(chosen.isUSB, 0);
    EXPECT_EQ(chosen.isSpecifiedIPAddress, 1);
    EXPECT_EQ(settings.mfpInfo, chosen);
    // A typed address names the device in the settings.
    EXPECT_EQ(GetSettingInfo().machineName, u"127.0.0.1"_qs);

    const auto requests = sim_->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, "LIST");
}

TEST_F(SelectMfpTest, HostNameIsResolvedBeforeTheListing) {
    MFPInfo stored;
    stored.isSpecifiedIPAddress = 1;
    stored.SpecifiedIPAddress = u"localhost"_qs;
    stored.httpPortNumber = sim_->port();
    SetMFPInfo(stored);

    AppSettings settings;
    EXPECT_EQ(SelectMfp(1, nullptr, settings, nullptr), 1);
    EXPECT_EQ(GetMFPInfo().IPv4Address, u"127.0.0.1"_qs);
    EXPECT_EQ(GetMFPInfo().SpecifiedIPAddress, u"localhost"_qs);
}

TEST_F(SelectMfpTest, RefusalsKeepTheDialogOpenAndSendNothing) {
    CSelectMfpDlg dialog(0, nullptr, nullptr);
    dialog.show();
    auto* host = dialog.control<QLineEdit>(CSelectMfpDlg::IDC_HOST);
    auto* httpPort = dialog.control<QLineEdit>(CSelectMfpDlg::IDC_HTTP_PORT);

    // List mode with nothing selected.
    dialog.runCommand(CSelectMfpDlg::IDC_OK);
    // Host mode without a host.
    dialog.control<QCheckBox>(CSelectMfpDlg::IDC_HOST_MODE)->setChecked(true);
    dialog.runCommand(CSelectMfpDlg::IDC_HOST_MODE);
    EXPECT_TRUE(host->isEnabled());
    dialog.runCommand(CSelectMfpDlg::IDC_OK);
    // A port above 65535.
    host->setText(u"127.0.0.1"_qs);
    httpPort->setText(u"65536"_qs);
    dialog.runCommand(CSelectMfpDlg::IDC_OK);

    EXPECT_EQ(messages(), (std::vector<QString>{
                              u"Select MFP|No Device Selected."_qs,
                              u"Select MFP|Please enter the  IP address or hostname."_qs,
                              u"Select MFP|The port number you entered is invalid."_qs,
                          }));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(sim_->requests().empty());
    EXPECT_EQ(GetMFPInfo(), MFPInfo{});
}

TEST_F(SelectMfpTest, PortFieldsKeepDigitsOnly) {
    CSelectMfpDlg dialog(0, nullptr, nullptr);
    dialog.show();
    auto* httpPort = dialog.control<QLineEdit>(CSelectMfpDlg::IDC_HTTP_PORT);
    httpPort->clear();
    httpPort->insert(u"8a0"_qs);
    EXPECT_EQ(httpPort->text(), u"80"_qs);
}

TEST_F(SelectMfpTest, FailedConnectionIsReportedAndCancelSaysSo) {
    MFPInfo stored;
    stored.isSpecifiedIPAddress = 1;
    stored.SpecifiedIPAddress = u"127.0.0.1"_qs;
    stored.httpPortNumber = sim_->port();
    SetMFPInfo(stored);
    sim_->stop();

    CSelectMfpDlg dialog(0, nullptr, nullptr);
    dialog.show();
    dialog.runCommand(CSelectMfpDlg::IDC_OK);
    EXPECT_EQ(messages(),
              (std::vector<QString>{u"Communication|Unable to connect to the scanner."_qs}));
    EXPECT_EQ(dialog.connectFailed(), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(GetMFPInfo(), stored);
}

TEST_F(SelectMfpTest, HiddenStartWithoutAStoredDeviceShowsTheDialog) {
    QWidget progress;
    progress.show();
    CSelectMfpDlg dialog(1, &progress, nullptr);
    dialog.show();
    EXPECT_EQ(messages(), (std::vector<QString>{u"Select MFP|No Device Selected."_qs}));
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.connectFailed(), 0);
}

TEST_F(SelectMfpTest, SearchListsTheSimulatorAndItsUsbChannel) {
    CSelectMfpDlg dialog(0, nullptr, nullptr);
    dialog.show();
    dialog.control<QLineEdit>(CSelectMfpDlg::IDC_SEARCH_PORT)->setText(searchPort());
    auto* list = dialog.control<QTreeWidget>(CSelectMfpDlg::IDC_DEVICE_LIST);

    // Several searches: the USB row keeps its own internal name.
    for (int search = 0; search < 2; ++search) {
        dialog.runCommand(CSelectMfpDlg::IDC_SEARCH);
        ASSERT_EQ(list->topLevelItemCount(), 2);
    }
    EXPECT_TRUE(messages().empty());
    // USB devices come first, then the network's answers.
    EXPECT_EQ(list->topLevelItem(0)->text(1), u"USB"_qs);
    EXPECT_EQ(list->topLevelItem(1)->text(1), u"127.0.0.1"_qs);
    EXPECT_FALSE(list->topLevelItem(1)->text(0).isEmpty());

    list->topLevelItem(0)->setSelected(true);
    dialog.runCommand(CSelectMfpDlg::IDC_OK);
    EXPECT_FALSE(dialog.isVisible());
    const MFPInfo chosen = GetMFPInfo();
    EXPECT_EQ(chosen.isUSB, 1);
    EXPECT_EQ(chosen.deviceInternalName,
              QString::fromStdString(sim_->announcements().at("usb-name")));
    EXPECT_TRUE(chosen.IPv4Address.isEmpty());
    EXPECT_EQ(chosen.machineName, list->topLevelItem(0)->text(0));

    // The confirming listing went over the USB channel.
    const auto requests = sim_->requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().channel, "usb");
    EXPECT_EQ(requests.back().command, "LIST");
}

TEST_F(SelectMfpTest, NetworkRowIsConfirmedOverHttp) {
    CSelectMfpDlg dialog(0, nullptr, nullptr);
    dialog.show();
    dialog.control<QLineEdit>(CSelectMfpDlg::IDC_SEARCH_PORT)->setText(searchPort());
    dialog.control<QLineEdit>(CSelectMfpDlg::IDC_HTTP_PORT)->setText(QString::number(sim_->port()));
    dialog.runCommand(CSelectMfpDlg::IDC_SEARCH);
    auto* list = dialog.control<QTreeWidget>(CSelectMfpDlg::IDC_DEVICE_LIST);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    list->topLevelItem(1)->setSelected(true);
    dialog.runCommand(CSelectMfpDlg::IDC_OK);
    EXPECT_TRUE(messages().empty());
    const MFPInfo chosen = GetMFPInfo();
    EXPECT_EQ(chosen.isUSB, 0);
    EXPECT_EQ(chosen.IPv4Address, u"127.0.0.1"_qs);
    EXPECT_EQ(chosen.httpPortNumber, sim_->port());
    EXPECT_EQ(chosen.SearchPortNumber, searchPort().toUShort());
}

}  // namespace
