// Bounds on untrusted input before it is read into memory: a device's response body, a language
// file, a profile and a page strip. Each is checked at its bound: just inside is read, just
// outside is refused without holding it.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/settings/currentsettings.h"
#include "app/texts/languagefile.h"
#include "device/deviceaccess.h"
#include "device/usb/usbpath.h"
#include "family/tarvin/jobdocument.h"
#include "ostrel/reducetiff.h"
#include "platform/profile.h"
#include "platform/textconv.h"
#include "tests/device/devicetestlibraries.h"
#include "tests/device/scriptedhttpdevice.h"
#include "tests/device/scriptedstidevice.h"
#include "tests/support/tempfolder.h"

namespace {

// A file of `size` bytes that takes no room: `head` at its start, holes after it.
bool MakeSparseFile(const std::string& path, std::uint64_t size, const std::string& head) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                    ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    return ::close(fd) == 0 && ok;
}

// A box listing padded with a comment to exactly `size` bytes.
std::string BoxAnswerOfSize(std::size_t size) {
    const std::string head =
        "<JOB><CODE>600</CODE><FOLDER><FOLDERID>5</FOLDERID><FOLDERNAME>Scans</FOLDERNAME>"
        "<ATTRIBUTE>1</ATTRIBUTE></FOLDER><!--";
    const std::string tail = "--></JOB>";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

struct ResponseCase {
    const char* name;
    std::size_t size;
    int result;  // of ListBoxes
    qsizetype names;
};

class ResponseLimitTest : public testing::TestWithParam<ResponseCase> {};

TEST_P(ResponseLimitTest, BodyAboveTheBoundIsNoAnswer) {
    ScriptedHttpDevice device;
    DeviceTestLibraries libraries;
    ASSERT_TRUE(libraries.ready()) << libraries.error();
    device.answerJob(BoxAnswerOfSize(GetParam().size));
    MFPInfo mfp;
    mfp.IPv4Address = QStringLiteral("127.0.0.1");
    mfp.httpPortNumber = device.port();
    QStringList names;
    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), GetParam().result);
    EXPECT_EQ(names.size(), GetParam().names);
    EXPECT_EQ(device.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Limits, ResponseLimitTest,
                         testing::Values(ResponseCase{"AtTheBound", kMaxResponseBytes, 1, 2},
                                         ResponseCase{"OneByteOver", kMaxResponseBytes + 1, 0, 0},
                                         ResponseCase{"FarOver", 3 * kMaxResponseBytes, 0, 0}),
                         [](const testing::TestParamInfo<ResponseCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(InputLimits, LanguageFileAboveTheBoundIsRefusedUnread) {
    TempFolder folder("limits");
    const std::string path = folder.file("Velnor.lrc");
    ASSERT_TRUE(MakeSparseFile(path, kMaxLanguageFileSize + 1, "QLTN"));
    const LanguageFileLoad load = LanguageFile::open(path, [](std::uint32_t) { return true; });
    EXPECT_EQ(load.status, LanguageFileStatus::kTooLarge);
    EXPECT_EQ(load.offset, kMaxLanguageFileSize + 1);
    EXPECT_FALSE(load.file);
}

TEST(InputLimits, ProfileAboveTheBoundReadsAsAbsentAndIsNotRewritten) {
    TempFolder folder("limits");
    const std::string path = folder.file("Velnor.ini");
    ASSERT_TRUE(MakeSparseFile(path, (16u << 20) + 1, "[MFPInfo]\nmachineName=big\n"));
    const std::u16string path16 = platform::toUtf16(path);
    EXPECT_EQ(platform::readProfileString(path16, u"MFPInfo", u"machineName", u"none"), u"none");
    EXPECT_EQ(platform::writeProfileString(path16, u"MFPInfo", u"machineName", u"x").status,
              platform::ProfileStatus::cannotRead);
}

// A page whose header names a strip larger than any page is refused before a buffer for it is
// taken, and the file is left as it was.
TEST(InputLimits, PageStripAboveTheBoundIsRefusedUntouched) {
    TempFolder folder("limits");
    const std::string path = folder.file("0000002A_1.tif");
    const std::uint64_t strip = ostrel::kMaxStripBytes + 1;
    std::string head(234, '\0');
    head[0] = 'M';
    head[1] = 'M';
    const auto put32 = [&head](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            head[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
        }
    };
    put32(102, 234);
    put32(150, static_cast<std::uint32_t>(strip));
    ASSERT_TRUE(MakeSparseFile(path, 234 + strip, head));
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ostrel::ReduceTiffToStrip(path, &bytes), ostrel::ReduceResult::NoMemory);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(std::filesystem::file_size(path), 234 + strip);
}

}  // namespace

namespace {

// A USB device that announces more page than any page holds is refused before a byte of that
// chunk is read, so a device that keeps sending cannot fill the disk; the earlier chunks go too.
TEST(InputLimits, UsbPageAboveTheBoundIsRefusedBeforeReading) {
    ResetScriptedSti();
    DeviceTestLibraries libraries(&ScriptedStiCreateInstance);
    ASSERT_TRUE(libraries.ready()) << libraries.error();
    const std::u16string name = u"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000";
    ScriptedSti().devices.push_back(
        {name, u"Office MFP (USB)", u"usb\\" + std::u16string(VendorIdText()) + u"&pid_2101"});
    UsbDocumentTable() = DocumentTable{};
    UsbDocumentTable().entries[0].fileId = 0x1A2F3;
    UsbDocumentTable().entries[0].imageFormat = 1;
    UsbDocumentTable().count = 1;
    const std::string tail = "the rest of the page";
    auto& replies = ScriptedSti().replies;
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE>")));
    replies.push_back(UsbReply(UsbJob("<CODE>600</CODE><DATASIZE>4</DATASIZE>"), "page"));
    replies.push_back(
        UsbReply(UsbJob("<CODE>603</CODE><DATASIZE>536870909</DATASIZE>"), tail));  // 512 MiB - 3

    TempFolder pages("limits-usb");
    EXPECT_EQ(FetchPageData(platform::toUtf16(pages.path().string()), 0, 1, name), 0);
    EXPECT_TRUE(std::filesystem::is_empty(pages.path()));
    EXPECT_NE(ScriptedSti().readable.find(tail), std::string::npos);  // never read
    EXPECT_EQ(ScriptedSti().liveObjects, 0);
}

}  // namespace
