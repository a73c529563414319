#include "tests/device/simulatorfixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "device/deviceaccess.h"
#include "tools/mfpsim/simulatorstore.h"

std::string PageBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u ^ (seed * 2654435761u);
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SimulatorTest::SetUp() {
    ASSERT_FALSE(store_.path().empty());
    ASSERT_FALSE(pages_.path().empty());
    SimulatorStore store(store_.path());
    ASSERT_TRUE(store.setDeviceName("Test MFP"));
    ASSERT_TRUE(store.addBox({5, "Scans", 1, ""}));
    ASSERT_TRUE(store.addBox({6, "Finance", 0x11, "1234"}));
    StoredDocument colour;
    colour.fileId = kColourFileId;
    colour.folderId = 5;
    colour.fileName = "0001";
    colour.timestamp = "2012/03/01 10:00:00";
    colour.imageFormat = 1;
    colour.xPixel = 2480;
    colour.yPixel = 3508;
    colour.xResolution = 300;
    colour.yResolution = 300;
    ASSERT_TRUE(store.addDocument(
        colour, {PageBytes(70000, 1), PageBytes(1000, 2), PageBytes(131072 + 5, 3)}));
    StoredDocument mono = colour;
    mono.fileId = kMonoFileId;
    mono.fileName = "0002";
    mono.timestamp = "2012/01/05 09:00:00";
    mono.imageFormat = 0;
    mono.xResolution = 200;
    mono.yResolution = 100;
    ASSERT_TRUE(store.addDocument(mono, {PageBytes(5000, 4)}));
    StoredDocument locked = colour;
    locked.fileId = kLockedFileId;
    locked.folderId = 6;
    locked.fileName = "0003";
    ASSERT_TRUE(store.addDocument(locked, {PageBytes(300, 5)}));

    SimulatorOptions options;
    options.store = store_.path();
    if (withUsb_) {
        const std::string registry = channel_.file("stidevices.ini");
        ASSERT_EQ(setenv("VELNOR_STI_REGISTRY", registry.c_str(), 1), 0);
        options.extraArgs = {"--usb-socket", channel_.file("mfp.sock"), "--usb-registry", registry};
    }
    simulator = std::make_unique<SimulatorProcess>(options);
    ASSERT_TRUE(simulator->running()) << simulator->error();
    if (withUsb_) {
        const auto name = simulator->announcements().find("usb-name");
        ASSERT_NE(name, simulator->announcements().end());
        usbName_ = name->second;
    }
    libraries_ = std::make_unique<DeviceTestLibraries>();
    ASSERT_TRUE(libraries_->ready()) << libraries_->error();
    mfp.IPv4Address = QString::fromStdString(simulator->host());
    mfp.httpPortNumber = simulator->port();
}

void SimulatorTest::TearDown() {
    libraries_.reset();
    if (simulator) {
        simulator->stop();
    }
    if (withUsb_) {
        unsetenv("VELNOR_STI_REGISTRY");
    }
}

void SimulatorTest::ListBox(int box, const QString& password) {
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);
    ASSERT_EQ(names.size(), 3) << names.join(",").toStdString();
    std::int32_t code = 0;
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 0, box, password, &code), 1) << code;
}

int SimulatorTest::DocumentIndex(std::uint32_t fileId) const {
    const DocumentTable& table = DocumentTableFor(mfp);
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].fileId == fileId) {
            return i;
        }
    }
    return -1;
}
