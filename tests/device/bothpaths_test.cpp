// The same store seen over both paths of the simulator: the network ("/ScanBox.cgi",
// "/loadimg.cgi") and USB (the still-image service and the simulator's raw channel).

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "device/deviceaccess.h"
#include "device/pagedownload.h"
#include "device/usb/usbpath.h"
#include "ostrel/ostrel.h"
#include "platform/textconv.h"
#include "tests/device/simulatorfixture.h"

namespace {

namespace fs = std::filesystem;

// What one path shows of box 1 "Scans": the box names, the document columns and every page.
struct PathView {
    QStringList boxNames;
    QStringList fileNames, timestamps, pages;
    std::vector<std::int32_t> formats;
    std::vector<std::string> pageBytes;
    std::vector<PageImageInfo> pageInfo;
};

class BothPathsTest : public SimulatorTest {
  protected:
    BothPathsTest() { withUsb_ = true; }

    MFPInfo UsbMfp() const {
        MFPInfo usb;
        usb.isUSB = 1;
        usb.deviceInternalName = QString::fromStdString(usbName_);
        return usb;
    }

    PathView View(const MFPInfo& path, const fs::path& folder) {
        PathView view;
        EXPECT_EQ(DeviceAccess::ListBoxes(path, view.boxNames), 1);
        EXPECT_EQ(DeviceAccess::ListDocuments(path, 0, 1, {}, nullptr), 1);
        std::array<std::int32_t, kDocumentTableSize> formats{};
        DeviceAccess::DocumentColumns(path, view.fileNames, view.timestamps, view.pages, formats);
        const DocumentTable& table = DocumentTableFor(path);
        for (int index = 0; index < table.count; ++index) {
            view.formats.push_back(formats[index]);
            for (int page = 1; page <= table.entries[index].pages; ++page) {
                const std::u16string name = platform::toUtf16(folder.string());
                EXPECT_EQ(DownloadPageToFolder(path, index, page, name), 1);
                const char* extension = table.entries[index].imageFormat == 0 ? "tif" : "jpg";
                char file[32];
                std::snprintf(file, sizeof file, "%08X_%d.%s", table.entries[index].fileId, page,
                              extension);
                view.pageBytes.push_back(ReadFileBytes(folder / file));
                PageImageInfo info{};
                EXPECT_EQ(DeviceAccess::GetImageInfo(path, index, page, &info), 1);
                view.pageInfo.push_back(info);
            }
        }
        return view;
    }
};

TEST_F(BothPathsTest, ShowTheSameBoxesDocumentsAndPageBytes) {
    QStringList descriptions, names, addresses;
    EnumerateUsbDevices(descriptions, names, addresses);
    ASSERT_TRUE(names.contains(QString::fromStdString(usbName_))) << names.join(",").toStdString();
    fs::create_directories(pages_.path() / "net");
    fs::create_directories(pages_.path() / "usb");

    const PathView network = View(mfp, pages_.path() / "net");
    const PathView usb = View(UsbMfp(), pages_.path() / "usb");

    EXPECT_EQ(network.boxNames, (QStringList{"Test MFP", "Scans", "Finance"}));
    EXPECT_EQ(usb.boxNames, network.boxNames);
    EXPECT_EQ(network.fileNames, (QStringList{"0002", "0001"}));
    EXPECT_EQ(usb.fileNames, network.fileNames);
    EXPECT_EQ(usb.timestamps, network.timestamps);
    EXPECT_EQ(usb.pages, network.pages);
    EXPECT_EQ(usb.formats, network.formats);
    ASSERT_EQ(network.pageBytes.size(), 4u);
    EXPECT_EQ(network.pageBytes[0], PageBytes(5000, 4));
    EXPECT_EQ(network.pageBytes[3], PageBytes(131072 + 5, 3));  // three chunks over USB
    ASSERT_EQ(usb.pageBytes.size(), network.pageBytes.size());
    for (std::size_t i = 0; i < usb.pageBytes.size(); ++i) {
        EXPECT_TRUE(usb.pageBytes[i] == network.pageBytes[i]) << "page file " << i;
        EXPECT_EQ(usb.pageInfo[i].xPixel, network.pageInfo[i].xPixel);
        EXPECT_EQ(usb.pageInfo[i].yResolution, network.pageInfo[i].yResolution);
    }
    // Every USB job went over the raw channel, announced with its command code.
    int usbJobs = 0;
    for (const LoggedRequest& request : simulator->requests()) {
        if (request.channel == "usb") {
            ++usbJobs;
            EXPECT_NE(request.target, "none");
        }
    }
    EXPECT_GT(usbJobs, 8);
}

TEST_F(BothPathsTest, UsbOpensTheProtectedBoxAndDeletes) {
    const MFPInfo usb = UsbMfp();
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(usb, names), 1);
    std::int32_t code = 0;

    EXPECT_EQ(DeviceAccess::ListDocuments(usb, 0, 2, "4321", &code), 0);
    EXPECT_EQ(code, 807);
    ASSERT_EQ(DeviceAccess::ListDocuments(usb, 0, 2, "1234", &code), 1);
    ASSERT_EQ(UsbDocumentTable().count, 1);

    EXPECT_EQ(DeviceAccess::DeleteDocument(usb, 0, &code), 1);
    ASSERT_EQ(DeviceAccess::ListDocuments(usb, 0, 2, "1234", &code), 1);
    EXPECT_EQ(UsbDocumentTable().count, 0);
}

TEST_F(BothPathsTest, UsbPageOfAMissingDocumentCreatesNoFile) {
    const MFPInfo usb = UsbMfp();
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(usb, names), 1);
    ASSERT_EQ(DeviceAccess::ListDocuments(usb, 0, 1, {}, nullptr), 1);
    const std::u16string folder = platform::toUtf16(pages_.path().string());

    EXPECT_EQ(DownloadPageToFolder(usb, 0, 9, folder), 0);  // GETFILE answers 808

    EXPECT_TRUE(fs::is_empty(pages_.path()));
}

TEST_F(BothPathsTest, UsbPageCutShortLeavesNoPageFile) {
    const MFPInfo usb = UsbMfp();
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(usb, names), 1);
    ASSERT_EQ(DeviceAccess::ListDocuments(usb, 0, 1, {}, nullptr), 1);
    int index = -1;
    for (int i = 0; i < UsbDocumentTable().count; ++i) {
        if (UsbDocumentTable().entries[i].fileId == kColourFileId) {
            index = i;
        }
    }
    ASSERT_GE(index, 0);
    const fs::path page = pages_.path() / "0001A2F3_3.jpg";
    {
        std::ofstream old(page, std::ios::binary);
        old << PageBytes(200000, 8);
    }
    // The second chunk of the page arrives half.
    ASSERT_TRUE(simulator->setMisbehaviour({"drop:GETDATA@1"}));

    EXPECT_EQ(DownloadPageToFolder(usb, index, 3, platform::toUtf16(pages_.path().string())), 0);

    EXPECT_FALSE(fs::exists(page));
}

}  // namespace
