// Page download and image information over the network, against the device simulator.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/folders/workfolders.h"
#include "device/deviceaccess.h"
#include "device/pagedownload.h"
#include "device/pagefile.h"
#include "ostrel/ostrel.h"
#include "platform/textconv.h"
#include "tests/device/simulatorfixture.h"

namespace {

namespace fs = std::filesystem;

std::u16string U16(const fs::path& path) {
    return platform::toUtf16(path.string());
}

TEST(PageFileName, FollowsTheConvention) {
    EXPECT_EQ(PageFilePath(u"/w/save", 0x1A2F3, 3, 1), u"/w/save/0001A2F3_3.jpg");
    EXPECT_EQ(PageFilePath(u"/w/save", 0x2B, 12, 0), u"/w/save/0000002B_12.tif");
    EXPECT_EQ(PageFilePath(u"/w", 0xFFFFFFFF, 1, 1), u"/w/FFFFFFFF_1.jpg");
    EXPECT_EQ(PageFilePath(u"/w", 1, 1, 2), u"");
    EXPECT_EQ(PageFilePath(u"/w", 1, 1, -1), u"");
}

TEST_F(SimulatorTest, ColourPageLandsUnderItsNameWithTheRequestedAttributes) {
    ListBox(1);
    const int index = DocumentIndex(kColourFileId);
    ASSERT_GE(index, 0);
    simulator->clearRequests();

    EXPECT_EQ(DownloadPageToFolder(mfp, index, 3, U16(pages_.path())), 1);

    EXPECT_EQ(ReadFileBytes(pages_.path() / "0001A2F3_3.jpg"), PageBytes(131072 + 5, 3));
    const auto requests = simulator->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/loadimg.cgi?FileID=0001A2F3&PageNumber=3");
}

TEST_F(SimulatorTest, MonoPageLandsAsTiff) {
    ListBox(1);
    const int index = DocumentIndex(kMonoFileId);
    ASSERT_GE(index, 0);

    EXPECT_EQ(DownloadPageToFolder(mfp, index, 1, U16(pages_.path())), 1);

    EXPECT_EQ(ReadFileBytes(pages_.path() / "0000002B_1.tif"), PageBytes(5000, 4));
}

TEST_F(SimulatorTest, AnOlderLongerPageFileIsReplacedWhole) {
    ListBox(1);
    const int index = DocumentIndex(kColourFileId);
    const fs::path page = pages_.path() / "0001A2F3_2.jpg";
    {
        std::ofstream old(page, std::ios::binary);
        old << PageBytes(50000, 9);
    }

    EXPECT_EQ(DownloadPageToFolder(mfp, index, 2, U16(pages_.path())), 1);

    EXPECT_EQ(ReadFileBytes(page), PageBytes(1000, 2));
}

TEST_F(SimulatorTest, SaveDownloadFillsThePageInformation) {
    ListBox(1);
    const int index = DocumentIndex(kMonoFileId);
    CreateWorkFolders();
    ASSERT_FALSE(SaveFolder().empty());
    simulator->clearRequests();
    PageImageInfo info{-1, -1, -1, -1};

    EXPECT_EQ(DeviceAccess::DownloadPageForSave(mfp, index, 1, &info), 1);

    EXPECT_EQ(info.xPixel, 2480);
    EXPECT_EQ(info.yPixel, 3508);
    EXPECT_EQ(info.xResolution, 200);
    EXPECT_EQ(info.yResolution, 100);
    const fs::path page = fs::path(platform::toUtf8(SaveFolder())) / "0000002B_1.tif";
    EXPECT_EQ(ReadFileBytes(page), PageBytes(5000, 4));
    fs::remove(page);
    const auto requests = simulator->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/loadimg.cgi?FileID=0000002B&PageNumber=1");
    EXPECT_EQ(requests[1].command, "GETIMAGEINFO");
    EXPECT_NE(requests[1].body.find("<FILEID>43</FILEID><PAGE>1</PAGE>"), std::string::npos)
        << requests[1].body;
}

TEST_F(SimulatorTest, FailedDownloadAsksForNoImageInformation) {
    ListBox(1);
    const int index = DocumentIndex(kColourFileId);
    simulator->clearRequests();
    PageImageInfo info{1, 2, 3, 4};

    EXPECT_EQ(DeviceAccess::DownloadPageForSave(mfp, index, 9, &info), 0);  // no page 9

    const auto requests = simulator->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(info.xPixel, 1);
    EXPECT_FALSE(fs::exists(pages_.path() / "0001A2F3_9.jpg"));
}

TEST_F(SimulatorTest, RefusedImageInformationLeavesTheFieldsAlone) {
    ListBox(1);
    const int index = DocumentIndex(kColourFileId);
    ASSERT_TRUE(simulator->setMisbehaviour({"refuse:GETIMAGEINFO:808"}));
    PageImageInfo info{11, 12, 13, 14};

    EXPECT_EQ(DeviceAccess::GetImageInfo(mfp, index, 1, &info), 808);

    EXPECT_EQ(info.xPixel, 11);
    EXPECT_EQ(info.yPixel, 12);
    EXPECT_EQ(info.xResolution, 13);
    EXPECT_EQ(info.yResolution, 14);
}

TEST_F(SimulatorTest, DocumentWithoutFileIdSendsNothing) {
    ListBox(1);
    NetworkDocumentTable().entries[0].fileId = 0;
    simulator->clearRequests();
    PageImageInfo info{};

    EXPECT_EQ(DeviceAccess::DownloadPageForPreview(mfp, 0, 1), 0);
    EXPECT_EQ(DeviceAccess::DownloadPageForSave(mfp, 0, 1, &info), 0);
    EXPECT_EQ(DeviceAccess::GetImageInfo(mfp, 0, 1, &info), 0);
    EXPECT_EQ(DownloadPageToFolder(mfp, 99, 1, U16(pages_.path())), 0);  // past the listing

    EXPECT_TRUE(simulator->requests().empty());
}

TEST_F(SimulatorTest, ProtectedBoxNeedsItsPassword) {
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);
    EXPECT_EQ(names, (QStringList{"Test MFP", "Scans", "Finance"}));
    EXPECT_TRUE(DeviceAccess::BoxNeedsPassword(mfp, [] {
        NetworkBoxTable().entries[2].treeKey = 77;
        return 77u;
    }()));
    std::int32_t code = 0;

    EXPECT_EQ(DeviceAccess::ListDocuments(mfp, 77, 0, "9999", &code), 0);
    EXPECT_EQ(code, 807);
    EXPECT_EQ(DeviceAccess::ListDocuments(mfp, 77, 0, "1234", &code), 1);
    ASSERT_EQ(NetworkDocumentTable().count, 1);
    EXPECT_EQ(NetworkDocumentTable().entries[0].fileId, kLockedFileId);
}

TEST_F(SimulatorTest, DeleteRemovesTheDocumentFromTheBox) {
    ListBox(1);
    const int index = DocumentIndex(kMonoFileId);
    ASSERT_GE(index, 0);

    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, index, nullptr), 1);

    ListBox(1);
    EXPECT_EQ(DocumentIndex(kMonoFileId), -1);
    EXPECT_GE(DocumentIndex(kColourFileId), 0);
}

}  // namespace

namespace {

// A page cut short by the device is never left looking fetched: no file stays at its name,
// not even the older one.
TEST_F(SimulatorTest, PageCutShortLeavesNoPageFile) {
    ListBox(1);
    const int index = DocumentIndex(kColourFileId);
    const fs::path page = pages_.path() / "0001A2F3_1.jpg";
    {
        std::ofstream old(page, std::ios::binary);
        old << PageBytes(90000, 8);
    }
    ASSERT_TRUE(simulator->setMisbehaviour({"drop:loadimg"}));

    EXPECT_EQ(DownloadPageToFolder(mfp, index, 1, U16(pages_.path())), 0);

    EXPECT_FALSE(fs::exists(page));
}

}  // namespace
