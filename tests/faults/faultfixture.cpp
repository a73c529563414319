#include "tests/faults/faultfixture.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings/currentsettings.h"
#include "device/deviceaccess.h"
#include "tools/mfpsim/simulatorstore.h"
#include "tools/pagemaker/pagemaker.h"

namespace {

bool privateMounts = false;

}  // namespace

void SetPrivateMounts(bool value) {
    privateMounts = value;
}

bool HasPrivateMounts() {
    return privateMounts;
}

void FaultMatrixTest::SetUpTestSuite() {
    SaveJobTest::SetUpTestSuite();
    setenv("VELNOR_TRANSPORT_CONNECT_SECONDS", std::to_string(kConnectSeconds).c_str(), 1);
    setenv("VELNOR_TRANSPORT_STALL_SECONDS", std::to_string(kStallSeconds).c_str(), 1);
    setenv("VELNOR_TRANSPORT_JOB_SECONDS", std::to_string(kJobSeconds).c_str(), 1);
    setenv("VELNOR_STI_TIMEOUT_MS", std::to_string(kUsbTimeoutMs).c_str(), 1);
}

void FaultMatrixTest::TearDown() {
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it) {
        ::umount2(it->c_str(), MNT_DETACH);
    }
    for (const std::string& folder : lockedFolders_) {
        ::chmod(folder.c_str(), 0755);
    }
    SaveJobTest::TearDown();
    if (usb_) {
        unsetenv("VELNOR_STI_REGISTRY");
    }
}

void FaultMatrixTest::StartFaultDevice(int pages, bool mono,
                                       const std::vector<std::string>& misbehave, bool usb) {
    if (!usb) {
        StartDevice(pages, mono, misbehave);
        return;
    }
    // As StartDevice, with the simulator's raw channel registered for the still-image service.
    usb_ = true;
    monochrome = mono;
    SimulatorStore store(store_.path());
    ASSERT_TRUE(store.addBox({5, "Scans", 1, ""}));
    StoredDocument document;
    document.fileId = kSavedFileId;
    document.folderId = 5;
    document.fileName = "0001";
    document.timestamp = "2012/03/01 10:00:00";
    document.imageFormat = mono ? 0 : 1;
    document.pages = pages;
    document.xPixel = 64;
    document.yPixel = 48;
    document.xResolution = 200;
    document.yResolution = 200;
    std::vector<std::string> files;
    for (int page = 1; page <= pages; ++page) {
        const auto pattern = pagemaker::texturedPattern(64, 48, static_cast<std::uint32_t>(page));
        const pagemaker::Bytes bytes =
            mono ? pagemaker::makeBlackWhiteTiff(
                       pagemaker::textLikePattern(64, 48, static_cast<std::uint32_t>(page)), 200,
                       200)
                 : pagemaker::makeColourJpeg(pattern, 200, 200);
        ASSERT_FALSE(bytes.empty());
        files.emplace_back(bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(store.addDocument(document, files));

    const std::string registry = channel_.file("stidevices.ini");
    ASSERT_EQ(setenv("VELNOR_STI_REGISTRY", registry.c_str(), 1), 0);
    SimulatorOptions options;
    options.store = store_.path();
    options.misbehave = misbehave;
    options.extraArgs = {"--usb-socket", channel_.file("mfp.sock"), "--usb-registry", registry};
    simulator = std::make_unique<SimulatorProcess>(options);
    ASSERT_TRUE(simulator->running()) << simulator->error();
    const auto name = simulator->announcements().find("usb-name");
    ASSERT_NE(name, simulator->announcements().end());
    libraries = std::make_unique<DeviceTestLibraries>();
    ASSERT_TRUE(libraries->ready()) << libraries->error();
    mfp = MFPInfo{};
    mfp.isUSB = 1;
    mfp.deviceInternalName = QString::fromStdString(name->second);
    SetMFPInfo(mfp);

    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);
    std::int32_t code = 0;
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 0, 1, QString(), &code), 1) << code;
    const DocumentTable& table = DocumentTableFor(mfp);
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].fileId == kSavedFileId) {
            documentIndex = i;
        }
    }
    ASSERT_GE(documentIndex, 0);
    simulator->clearRequests();
}

bool FaultMatrixTest::TimedSave(IConvertor& convertor) {
    const auto start = std::chrono::steady_clock::now();
    const bool saved = Save(convertor);
    elapsed = std::chrono::steady_clock::now() - start;
    return saved;
}

bool FaultMatrixTest::DocumentStillStored() const {
    SimulatorStore store(store_.path());
    if (!store.findDocument(kSavedFileId)) {
        return false;
    }
    for (const LoggedRequest& request : simulator->requests()) {
        if (request.command == "DELETE") {
            return false;
        }
    }
    return true;
}

bool FaultMatrixTest::DeviceAnswersAgain() {
    if (!simulator->setMisbehaviour({})) {
        return false;
    }
    QStringList names;
    return DeviceAccess::ListBoxes(mfp, names) == 1 && names.size() == 2;
}

bool FaultMatrixTest::MountScratch(const QString& folder) {
    if (!HasPrivateMounts()) {
        return false;
    }
    const std::string path = folder.toStdString();
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (::mount("velnor-faults", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") != 0) {
        return false;
    }
    mounts_.push_back(path);
    return true;
}

bool FaultMatrixTest::MakeReadOnly(const QString& folder) {
    const std::string path = folder.toStdString();
    for (const std::string& mounted : mounts_) {
        if (mounted == path) {
            return ::mount("velnor-faults", path.c_str(), "tmpfs",
                           MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, "size=4m") == 0;
        }
    }
    // Without a mount of our own only the permission is left, which root passes by.
    if (::geteuid() == 0 || ::chmod(path.c_str(), 0555) != 0) {
        return false;
    }
    lockedFolders_.push_back(path);
    return true;
}
