// The USB path against a scripted in-process still-image device, with the real transport
// library encoding the requests and decoding the answers.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/settings/appsettings.h"
#include "device/deviceaccess.h"
#include "device/devicelibraries.h"
#include "device/usb/usbpath.h"
#include "ostrel/ostrel.h"
#include "platform/textconv.h"
#include "tests/device/devicetestlibraries.h"
#include "tests/device/scriptedstidevice.h"
#include "tests/device/simulatorfixture.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

const std::u16string kInternalName = u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000";

std::u16string MakerId() {
    return u"usb\\" + std::u16string(VendorIdText()) + u"&pid_2101";
}

std::string Announce(std::uint16_t code) {
    return std::string{static_cast<char>(code & 0xFF), static_cast<char>(code >> 8), 0, 0, 0, 0};
}

class UsbPathTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetScriptedSti();
        libraries_ = std::make_unique<DeviceTestLibraries>(&ScriptedStiCreateInstance);
        ASSERT_TRUE(libraries_->ready()) << libraries_->error();
        ScriptedSti().devices.push_back({kInternalName, u"Office MFP (USB)", MakerId()});
        mfp.isUSB = 1;
        mfp.deviceInternalName = platform::toQString(kInternalName);
    }
    void TearDown() override {
        // Every job releases the still-image and device objects it made.
        EXPECT_EQ(ScriptedSti().liveObjects, 0);
        EXPECT_EQ(CurrentStiDevice(), nullptr);
        libraries_.reset();
    }

    // A listed colour document at index 0 of the USB table.
    void ListedDocument(std::uint32_t fileId, std::int32_t imageFormat) {
        UsbDocumentTable() = DocumentTable{};
        UsbDocumentTable().entries[0].fileId = fileId;
        UsbDocumentTable().entries[0].imageFormat = imageFormat;
        UsbDocumentTable().count = 1;
    }

    int Fetch(int page = 1) {
        return FetchPageData(platform::toUtf16(pages_.path().string()), 0, page, kInternalName);
    }

    std::unique_ptr<DeviceTestLibraries> libraries_;
    TempFolder pages_{"device-usb"};
    MFPInfo mfp;
};

TEST_F(UsbPathTest, OnlyTheMakersDevicesAreListed) {
    std::u16string upper = VendorIdText();
    for (char16_t& c : upper) {
        c = static_cast<char16_t>(c >= u'a' && c <= u'z' ? c - 32 : c);
    }
    auto& devices = ScriptedSti().devices;
    devices.push_back({u"other\\0001", u"Another scanner", u"usb\\vid_zzzz&pid_0001"});
    devices.push_back(
        {u"maker\\0002", u"Id at the end", u"usb\\pid_0001&" + std::u16string(VendorIdText())});
    devices.push_back({u"upper\\0003", u"Upper case id", u"USB\\" + upper + u"&PID_0001"});
    devices.push_back({u"none\\0004", u"No id at all", u""});
    QStringList descriptions{"kept"}, names, addresses;

    EnumerateUsbDevices(descriptions, names, addresses);

    EXPECT_EQ(descriptions, (QStringList{"kept", "Office MFP (USB)", "Id at the end"}));
    EXPECT_EQ(names, (QStringList{platform::toQString(kInternalName), "maker\\0002"}));
    EXPECT_EQ(addresses, (QStringList{QString(), QString()}));
}

TEST_F(UsbPathTest, WithoutTheStillImageLibraryNothingIsListedOrSent) {
    UseDeviceLibraries(&libraries_->table(), nullptr);
    QStringList descriptions, names, addresses;
    EnumerateUsbDevices(descriptions, names, addresses);
    EXPECT_TRUE(descriptions.isEmpty());
    ListedDocument(0x10, 1);

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 0);
    EXPECT_EQ(Fetch(), 0);
    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, 0, nullptr), 0);
    EXPECT_TRUE(ScriptedSti().writes.empty());
}

TEST_F(UsbPathTest, BoxListTravelsAnnouncedAndLocked) {
    ScriptedSti().replies.push_back(UsbReply(
        UsbJob("<CODE>600</CODE><FOLDER><FOLDERID>5</FOLDERID><FOLDERNAME>Scans</FOLDERNAME>"
               "<ATTRIBUTE>1</ATTRIBUTE></FOLDER>")));
    QStringList names;

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);

    EXPECT_EQ(names, (QStringList{"USB", "Scans"}));
    EXPECT_EQ(UsbBoxTable().count, 2);
    ASSERT_EQ(ScriptedSti().escapes.size(), 1u);
    EXPECT_EQ(ScriptedSti().escapes[0], Announce(0x60));
    ASSERT_EQ(ScriptedSti().writes.size(), 1u);
    EXPECT_NE(ScriptedSti().writes[0].find("<COMMAND>LIST</COMMAND>"), std::string::npos);
    EXPECT_EQ(ScriptedSti().locks, 1);
    EXPECT_EQ(ScriptedSti().unlocks, 2);  // before the lock and at the end
}

struct UsbJobCase {
    const char* name;
    std::uint16_t code;
    int unlocks;
    std::function<int(const MFPInfo&)> run;
};

class UsbJobCodeTest : public UsbPathTest, public testing::WithParamInterface<UsbJobCase> {};

TEST_P(UsbJobCodeTest, AnnouncesTheJobsCommandCode) {
    const UsbJobCase& jobCase = GetParam();
    UsbBoxTable() = BoxTable{};
    UsbBoxTable().entries[1].folderId = 5;
    UsbBoxTable().entries[1].attribute = 0x11;
    UsbBoxTable().count = 2;
    ListedDocument(0x77, 1);
    ScriptedSti().replies.push_back(UsbReply(
        UsbJob("<CODE>600</CODE><XPIXEL>10</XPIXEL><YPIXEL>20</YPIXEL><XRESOLUTION>30</XRESOLUTION>"
               "<YRESOLUTION>40</YRESOLUTION>")));

    EXPECT_EQ(jobCase.run(mfp), 1);

    ASSERT_EQ(ScriptedSti().escapes.size(), 1u);
    EXPECT_EQ(ScriptedSti().escapes[0], Announce(jobCase.code));
    EXPECT_EQ(ScriptedSti().locks, 1);
    EXPECT_EQ(ScriptedSti().unlocks, jobCase.unlocks);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, UsbJobCodeTest,
    testing::Values(UsbJobCase{"DocumentList", 0x60, 2,
                               [](const MFPInfo& mfp) {
                                   return DeviceAccess::ListDocuments(mfp, 0, 1, "1234", nullptr);
                               }},
                    UsbJobCase{"Delete", 0x64, 1,
                               [](const MFPInfo& mfp) {
                                   return DeviceAccess::DeleteDocument(mfp, 0, nullptr);
                               }},
                    UsbJobCase{"ImageInformation", 0x65, 1,
                               [](const MFPInfo& mfp) {
                                   PageImageInfo info{};
                                   const int result = DeviceAccess::GetImageInfo(mfp, 0, 2, &info);
                                   return result == 1 && info.xPixel == 10 && info.yResolution == 40
                                              ? 1
                                              : -1;
                               }}),
    [](const testing::TestParamInfo<UsbJobCase>& info) { return info.param.name; });

TEST_F(UsbPathTest, EscapeNotImplementedSendsTheFallbackBlock) {
    ScriptedSti().escapeResult = sti::kNotImplemented;
    ScriptedSti().replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    QStringList names;

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);

    ASSERT_EQ(ScriptedSti().writes.size(), 1u);
    const std::string& block = ScriptedSti().writes[0];
    ASSERT_EQ(block.size(), 12u);
    EXPECT_EQ(block.substr(0, 4), std::string("\x60\0\0\0", 4));
    const auto size = static_cast<std::uint32_t>(static_cast<unsigned char>(block[8])) |
                      static_cast<std::uint32_t>(static_cast<unsigned char>(block[9])) << 8;
    EXPECT_GT(size, 40u);  // the encoded request's size
}

TEST_F(UsbPathTest, AnyOtherEscapeFailureEndsTheJob) {
    ScriptedSti().escapeResult = sti::kFail;
    ScriptedSti().replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    QStringList names;

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 0);

    EXPECT_TRUE(ScriptedSti().writes.empty());
    EXPECT_EQ(UsbBoxTable().count, 0);
}

TEST_F(UsbPathTest, AnswersWithoutUsableLengthFail) {
    struct Row {
        const char* name;
        std::string reply;
    };
    for (const Row& row : {Row{"length 0", std::string(4, '\0')},
                           Row{"cut short", UsbReply(UsbJob("<CODE>600</CODE>")).substr(0, 20)},
                           Row{"no length", std::string("\x05\0", 2)},
                           Row{"beyond any answer", std::string("\xFF\xFF\xFF\xFF", 4)}}) {
        SCOPED_TRACE(row.name);
        ResetScriptedSti();
        ScriptedSti().devices.push_back({kInternalName, u"Office MFP (USB)", MakerId()});
        ScriptedSti().replies.push_back(row.reply);
        QStringList names;
        EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 0);
        EXPECT_EQ(UsbBoxTable().count, 0);
        EXPECT_TRUE(names.isEmpty());
    }
}

TEST_F(UsbPathTest, ChunksAreJoinedIntoThePageFile) {
    ListedDocument(0x1A2F3, 1);
    const fs::path page = pages_.path() / "0001A2F3_1.jpg";
    {
        std::ofstream old(page, std::ios::binary);  // older and longer than the new page
        old << PageBytes(10000, 7);
    }
    const std::string chunk1 = PageBytes(4096, 1), chunk2 = PageBytes(4096, 2),
                      chunk3 = PageBytes(100, 3);
    auto& replies = ScriptedSti().replies;
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE><DATASIZE>4096</DATASIZE>"), chunk1));
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE><DATASIZE>4096</DATASIZE>"), chunk2));
    replies.push_back(UsbReply(UsbJob("<CODE>603</CODE><DATASIZE>100</DATASIZE>"), chunk3));

    EXPECT_EQ(Fetch(), 1);

    EXPECT_EQ(fs::file_size(page), 8292u);
    EXPECT_EQ(ReadFileBytes(page), chunk1 + chunk2 + chunk3);
    const auto& script = ScriptedSti();
    EXPECT_EQ(script.countCommands("GETFILE"), 1);
    EXPECT_EQ(script.countCommands("GETDATA"), 3);
    ASSERT_EQ(script.escapes.size(), 4u);
    EXPECT_EQ(script.escapes[0], Announce(0x68));
    EXPECT_EQ(script.escapes[3], Announce(0x62));
    EXPECT_NE(script.writes[0].find("<FILEID>107251</FILEID><PAGENUMBER>1</PAGENUMBER>"),
              std::string::npos)
        << script.writes[0];
    EXPECT_EQ(script.locks, 1);
    EXPECT_EQ(script.unlocks, 1);
}

TEST_F(UsbPathTest, AnAnswerWithoutDataAsksAgain) {
    ListedDocument(0x2B, 0);
    auto& replies = ScriptedSti().replies;
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    replies.push_back(UsbReply(UsbJob("<CODE>603</CODE><DATASIZE>10</DATASIZE>"), "0123456789"));

    EXPECT_EQ(Fetch(2), 1);

    EXPECT_EQ(ReadFileBytes(pages_.path() / "0000002B_2.tif"), "0123456789");
    EXPECT_EQ(ScriptedSti().countCommands("GETDATA"), 2);
}

struct BrokenTransferCase {
    const char* name;
    std::vector<std::string> replies;
    int getDataJobs;
};

class BrokenTransferTest : public UsbPathTest,
                           public testing::WithParamInterface<BrokenTransferCase> {};

TEST_P(BrokenTransferTest, LeavesNoPageFile) {
    ListedDocument(0x1A2F3, 1);
    for (const std::string& reply : GetParam().replies) {
        ScriptedSti().replies.push_back(reply);
    }
    const fs::path page = pages_.path() / "0001A2F3_1.jpg";
    {
        std::ofstream old(page, std::ios::binary);
        old << "an older page";
    }
    if (GetParam().getDataJobs == 0) {
        fs::remove(page);  // a refused GETFILE must not even create the file
    }

    EXPECT_EQ(Fetch(), 0);

    EXPECT_FALSE(fs::exists(page));
    EXPECT_EQ(ScriptedSti().countCommands("GETDATA"), GetParam().getDataJobs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenTransferTest,
    testing::Values(
        BrokenTransferCase{"GetFileRefused", {UsbReply(UsbJob("<CODE>808</CODE>"))}, 0},
        BrokenTransferCase{"GetFileWithoutCode", {UsbReply(UsbJob("<X>1</X>"))}, 0},
        BrokenTransferCase{
            "ChunkCutShort",
            {UsbReply(UsbJob("<CODE>600</CODE>")),
             UsbReply(UsbJob("<CODE>600</CODE><DATASIZE>4096</DATASIZE>"), PageBytes(100, 1))},
            1},
        BrokenTransferCase{
            "RefusedMidway",
            {UsbReply(UsbJob("<CODE>600</CODE>")),
             UsbReply(UsbJob("<CODE>600</CODE><DATASIZE>10</DATASIZE>"), "0123456789"),
             UsbReply(UsbJob("<CODE>808</CODE>"))},
            2},
        BrokenTransferCase{"AnswerWithoutCode",
                           {UsbReply(UsbJob("<CODE>600</CODE>")),
                            UsbReply(UsbJob("<DATASIZE>10</DATASIZE>"), "0123456789")},
                           1},
        BrokenTransferCase{"DeviceGoesSilent", {UsbReply(UsbJob("<CODE>600</CODE>"))}, 1}),
    [](const testing::TestParamInfo<BrokenTransferCase>& info) { return info.param.name; });

TEST_F(UsbPathTest, NoDocumentSendsNothing) {
    ListedDocument(0, 1);
    EXPECT_EQ(Fetch(), 0);
    EXPECT_EQ(FetchPageData(platform::toUtf16(pages_.path().string()), 5, 1, kInternalName), 0);
    EXPECT_EQ(FetchPageData(platform::toUtf16(pages_.path().string()), -1, 1, kInternalName), 0);
    EXPECT_TRUE(ScriptedSti().writes.empty());
    EXPECT_TRUE(fs::is_empty(pages_.path()));
}

}  // namespace
