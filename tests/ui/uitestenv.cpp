#include "tests/ui/uitestenv.h"

#include <dlfcn.h>

#include "app/texts/texttables.h"
#include "device/deviceaccess.h"
#include "device/devicelibraries.h"
#include "tools/mfpsim/simulatorstore.h"

QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "velnor-ui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* application = new QApplication(argc, argv);
        // As start-up does right after opening the text sources.
        FillTextTable(MessageTextTable);
        FillTextTable(ProgressTextTable);
        FillTextTable(LabelTextTable);
        return application;
    }();
    return *app;
}

std::string BindTransportForTests() {
    static HttpXmlTable table{};
    static std::string error = [] {
        const std::string path = std::string(VELNOR_PROGRAM_DIR) + "/tarvin.so";
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            return std::string("cannot load ") + path + ": " + dlerror();
        }
        auto getTable = reinterpret_cast<GetHTTPXMLFn>(dlsym(library, "GetHTTPXML"));
        if (!getTable || getTable(&table, sizeof(table)) == 0) {
            return std::string("GetHTTPXML failed");
        }
        UseDeviceLibraries(&table, nullptr);
        return std::string();
    }();
    return error;
}

namespace {

void SeedStore(const std::filesystem::path& root) {
    using namespace teststore;
    SimulatorStore store(root);
    store.setDeviceName("Test MFP");
    store.addBox({kScansBox, "Scans", 1, ""});
    store.addBox({kLockedBox, "Locked", 0x11, kPassword});
    store.addBox({kEmptyBox, "Empty", 1, ""});
    for (int i = 0; i < 3; ++i) {
        StoredDocument document;
        document.fileId = 0x101 + i;
        document.folderId = kScansBox;
        document.fileName = kScansNames[i];
        document.timestamp = kScansTimes[i];
        document.imageFormat = kScansFormats[i];
        store.addDocument(document, std::vector<std::string>(kScansPages[i], "page"));
    }
    StoredDocument secret;
    secret.fileId = 0x201;
    secret.folderId = kLockedBox;
    secret.fileName = "0201";
    secret.timestamp = "2013/05/05 05:05:05";
    store.addDocument(secret, std::vector<std::string>(3, "page"));
}

}  // namespace

void UiTest::SetUp() {
    testApplication();
    const std::string bound = BindTransportForTests();
    ASSERT_TRUE(bound.empty()) << bound;
    store_ = std::make_unique<TempFolder>("ui-store");
    destination_ = std::make_unique<TempFolder>("ui-out");
    SeedStore(store_->path());
    SimulatorOptions options;
    options.store = store_->path();
    sim_ = std::make_unique<SimulatorProcess>(options);
    ASSERT_TRUE(sim_->running()) << sim_->error();
    messages_ = std::make_unique<MessageBoxRecorder>();

    mfp_ = MFPInfo();
    mfp_.IPv4Address = "127.0.0.1";
    mfp_.httpPortNumber = sim_->port();
    settings = SettingInfo();
    settings.machineName = "Test MFP";
    settings.boxIndex = teststore::kScansBox;
    settings.folderPath = QString::fromStdString(destination_->path().string());
    settings.DeleteFile = 0;
    settings.SimpleMode = 0;
    password = PasswordInfo();
}

void UiTest::TearDown() {
    window_.reset();
    messages_.reset();
    sim_.reset();
}

CMainDlg& UiTest::OpenWindow() {
    SetMFPInfo(mfp_);
    SetSettingInfo(settings);
    SetPasswordInfo(password);
    QStringList names;
    EXPECT_EQ(DeviceAccess::ListBoxes(mfp_, names), 1);
    sim_->clearRequests();
    window_ = std::make_unique<CMainDlg>();
    window_->show();
    QApplication::processEvents();
    return *window_;
}

int UiTest::DocumentListingRequests() const {
    int count = 0;
    for (const LoggedRequest& request : sim_->requests()) {
        if (request.command == "LIST" && request.body.find("FOLDERID") != std::string::npos) {
            ++count;
        }
    }
    return count;
}
