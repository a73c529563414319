// The simulator's job handling on its own: what the device answers to each job, what it does
// to its store, and what it logs.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <fstream>

#include "tests/support/tempfolder.h"
#include "tools/mfpsim/jobhandler.h"

namespace {

namespace fs = std::filesystem;

std::string job(const std::string& command, const std::string& storage) {
    return "<?xml version=\"1.0\"?><JOB version=\"2\"><COMMAND>" + command +
           "</COMMAND><TYPE>STORAGE</TYPE><PARAM><STORAGE>" + storage + "</STORAGE></PARAM></JOB>";
}

int codeOf(const std::string& response) {
    pugi::xml_document document;
    if (!document.load_string(response.c_str())) {
        return -1;
    }
    return document.child("JOB").child("CODE").text().as_int(-1);
}

std::string pageBytes(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(seed + static_cast<char>(i * 7));
    }
    return bytes;
}

class JobHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(store.addBox({1, "Open", 0x01, ""}));
        ASSERT_TRUE(store.addBox({2, "Locked", 0x11, "9876"}));
        StoredDocument colour;
        colour.fileId = 0x100;
        colour.folderId = 1;
        colour.fileName = "0001";
        colour.timestamp = "2012/03/01 10:00:00";
        colour.imageFormat = 1;
        colour.xPixel = 1654;
        colour.yPixel = 2339;
        colour.xResolution = 200;
        colour.yResolution = 200;
        ASSERT_TRUE(store.addDocument(colour, {pageBytes(10, 'a'), pageBytes(150000, 'b')}));
        StoredDocument mono = colour;
        mono.fileId = 0x200;
        mono.folderId = 2;
        mono.fileName = "0002";
        mono.imageFormat = 0;
        ASSERT_TRUE(store.addDocument(mono, {pageBytes(0, 'c')}));
    }

    std::string answer(const std::string& request, PageTransfer* transfer = nullptr) {
        return handler.handleJob({"http", "POST", "/ScanBox.cgi"}, request, transfer).body;
    }

    TempFolder folder{"mfpsim"};
    SimulatorStore store{folder.path()};
    RequestLog log{folder.path() / "requests.log"};
    Misbehaviour misbehaviour;
    JobHandler handler{store, log, misbehaviour};
};

TEST_F(JobHandlerTest, BoxListNamesEveryBoxWithItsAttribute) {
    pugi::xml_document response;
    ASSERT_TRUE(response.load_string(answer(job("LIST", "")).c_str()));
    const pugi::xml_node root = response.child("JOB");
    EXPECT_EQ(std::string(root.first_child().name()), "CODE") << "CODE comes first";
    EXPECT_EQ(root.child("CODE").text().as_int(), 600);
    EXPECT_STREQ(root.child("ROOTNAME").text().get(), "Velnor MFP");
    std::vector<std::string> boxes;
    for (pugi::xml_node folder : root.children("FOLDER")) {
        boxes.push_back(std::string(folder.child("FOLDERID").text().get()) + " " +
                        folder.child("FOLDERNAME").text().get() + " " +
                        folder.child("ATTRIBUTE").text().get());
    }
    EXPECT_EQ(boxes, (std::vector<std::string>{"1 Open 1", "2 Locked 17"}));
}

TEST_F(JobHandlerTest, DocumentListChecksTheBoxPassword) {
    const struct {
        const char* storage;
        int code;
    } cases[] = {
        {"<FOLDERID>1</FOLDERID>", 600},
        {"<PASSWORD>any</PASSWORD><FOLDERID>1</FOLDERID>", 600},
        {"<FOLDERID>2</FOLDERID>", 807},
        {"<PASSWORD>1234</PASSWORD><FOLDERID>2</FOLDERID>", 807},
        {"<PASSWORD></PASSWORD><FOLDERID>2</FOLDERID>", 807},
        {"<PASSWORD>9876</PASSWORD><FOLDERID>2</FOLDERID>", 600},
        {"<FOLDERID>99</FOLDERID>", 808},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codeOf(answer(job("LIST", c.storage))), c.code) << c.storage;
    }

    pugi::xml_document response;
    ASSERT_TRUE(response.load_string(answer(job("LIST", "<FOLDERID>1</FOLDERID>")).c_str()));
    const pugi::xml_node file = response.child("JOB").child("FILE");
    EXPECT_EQ(file.child("FILEID").text().as_uint(), 0x100u);
    EXPECT_STREQ(file.child("FILENAME").text().get(), "0001");
    EXPECT_STREQ(file.child("TIMESTAMP").text().get(), "2012/03/01 10:00:00");
    EXPECT_EQ(file.child("PAGES").text().as_int(), 2);
    EXPECT_EQ(file.child("IMAGEFORMAT").text().as_int(), 1);
    EXPECT_STREQ(file.child("FOLDERNAME").text().get(), "Open");
    EXPECT_FALSE(file.next_sibling("FILE")) << "only the box's own documents";
}

TEST_F(JobHandlerTest, DeleteRemovesTheDocumentForGood) {
    EXPECT_EQ(codeOf(answer(job("DELETE", "<FILEID>256</FILEID>"))), 600);
    EXPECT_FALSE(fs::exists(folder.path() / "box-1" / "doc-00000100"));
    EXPECT_FALSE(store.findDocument(0x100));
    EXPECT_EQ(codeOf(answer(job("DELETE", "<FILEID>256</FILEID>"))), 810);
    EXPECT_EQ(codeOf(answer(job("DELETE", ""))), 810);
    EXPECT_TRUE(store.findDocument(0x200)) << "other documents stay";
}

TEST_F(JobHandlerTest, ImageInfoGivesSizeAndResolutionOfExistingPagesOnly) {
    pugi::xml_document response;
    ASSERT_TRUE(response.load_string(
        answer(job("GETIMAGEINFO", "<FILEID>256</FILEID><PAGE>2</PAGE>")).c_str()));
    const pugi::xml_node root = response.child("JOB");
    EXPECT_EQ(root.child("CODE").text().as_int(), 600);
    EXPECT_EQ(root.child("XPIXEL").text().as_int(), 1654);
    EXPECT_EQ(root.child("YPIXEL").text().as_int(), 2339);
    EXPECT_EQ(root.child("XRESOLUTION").text().as_int(), 200);
    EXPECT_EQ(root.child("YRESOLUTION").text().as_int(), 200);
    for (const char* storage :
         {"<FILEID>256</FILEID><PAGE>3</PAGE>", "<FILEID>256</FILEID><PAGE>0</PAGE>",
          "<FILEID>9</FILEID><PAGE>1</PAGE>", "<FILEID>256</FILEID>"}) {
        EXPECT_EQ(codeOf(answer(job("GETIMAGEINFO", storage))), 808) << storage;
    }
}

TEST_F(JobHandlerTest, GetDataSendsThePageInChunksEndingWith603) {
    PageTransfer transfer;
    EXPECT_EQ(codeOf(answer(job("GETDATA", ""), &transfer)), 808) << "no page selected yet";
    ASSERT_EQ(
        codeOf(answer(job("GETFILE", "<FILEID>256</FILEID><PAGENUMBER>2</PAGENUMBER>"), &transfer)),
        600);
    std::string received;
    std::vector<int> codes;
    for (int round = 0; round < 10; ++round) {
        const JobReply reply =
            handler.handleJob({"usb", "RAW", "/ScanBox.cgi"}, job("GETDATA", ""), &transfer);
        pugi::xml_document response;
        ASSERT_TRUE(response.load_string(reply.body.c_str()));
        EXPECT_EQ(response.child("JOB").child("DATASIZE").text().as_uint(), reply.chunk.size());
        codes.push_back(codeOf(reply.body));
        received += reply.chunk;
        if (codes.back() != 600) {
            break;
        }
    }
    EXPECT_EQ(codes, (std::vector<int>{600, 600, 603}));
    EXPECT_EQ(received, pageBytes(150000, 'b'));

    // An empty page is one last chunk of no bytes.
    ASSERT_EQ(
        codeOf(answer(job("GETFILE", "<FILEID>512</FILEID><PAGENUMBER>1</PAGENUMBER>"), &transfer)),
        600);
    const JobReply empty = handler.handleJob({"usb", "RAW", ""}, job("GETDATA", ""), &transfer);
    EXPECT_EQ(codeOf(empty.body), 603);
    EXPECT_TRUE(empty.chunk.empty());

    EXPECT_EQ(
        codeOf(answer(job("GETFILE", "<FILEID>256</FILEID><PAGENUMBER>3</PAGENUMBER>"), &transfer)),
        808);
    EXPECT_EQ(codeOf(answer(job("GETFILE", "<FILEID>256</FILEID><PAGENUMBER>1</PAGENUMBER>"))), 801)
        << "a channel without transfers";
}

TEST_F(JobHandlerTest, UnknownJobsAndBrokenBodiesAreRefused) {
    EXPECT_EQ(codeOf(answer(job("PRINT", ""))), 801);
    EXPECT_EQ(handler.handleJob({}, "not xml", nullptr).httpStatus, 400);
    EXPECT_EQ(handler.handleJob({}, "<OTHER/>", nullptr).httpStatus, 400);
}

TEST_F(JobHandlerTest, EveryRequestIsLoggedWithItsChannelAndBody) {
    answer(job("LIST", ""));
    handler.handleJob({"usb", "RAW", ""}, "a\tb\nc\\d", nullptr);
    handler.handlePageDownload("/loadimg.cgi?FileID=00000100&PageNumber=1",
                               {{"FileID", "00000100"}, {"PageNumber", "1"}});
    std::ifstream in(log.path());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "http\tPOST\t/ScanBox.cgi\tLIST\t" + job("LIST", ""));
    EXPECT_EQ(lines[1], "usb\tRAW\t\t\ta\\tb\\nc\\\\d");
    EXPECT_EQ(lines[2], "http\tGET\t/loadimg.cgi?FileID=00000100&PageNumber=1\t\t");
    EXPECT_EQ(unescapeLogField("a\\tb\\nc\\\\d"), "a\tb\nc\\d");
}

TEST_F(JobHandlerTest, PageDownloadServesTheStoredBytes) {
    const struct {
        const char* fileId;
        const char* page;
        int status;
    } cases[] = {
        {"00000100", "2", 200}, {"00000200", "1", 200}, {"00000100", "3", 404},
        {"00000300", "1", 404}, {"100", "1", 400},      {"0000010g", "1", 400},
        {"00000100", "x", 400},
    };
    for (const auto& c : cases) {
        const PageReply reply =
            handler.handlePageDownload("", {{"FileID", c.fileId}, {"PageNumber", c.page}});
        EXPECT_EQ(reply.httpStatus, c.status) << c.fileId << " " << c.page;
    }
    const PageReply colour =
        handler.handlePageDownload("", {{"FileID", "00000100"}, {"PageNumber", "2"}});
    EXPECT_EQ(colour.contentType, "image/jpeg");
    EXPECT_EQ(colour.bytes, pageBytes(150000, 'b'));
    EXPECT_EQ(
        handler.handlePageDownload("", {{"FileID", "00000200"}, {"PageNumber", "1"}}).contentType,
        "image/tiff");
}

TEST_F(JobHandlerTest, MisbehaviourRulesPickTheirRequests) {
    ASSERT_TRUE(
        misbehaviour.setRules({"refuse:DELETE:811@1", "stall:loadimg:3", "malformed:LIST"}));
    EXPECT_EQ(codeOf(answer(job("DELETE", "<FILEID>1</FILEID>"))), 810) << "the first one passes";
    EXPECT_EQ(codeOf(answer(job("DELETE", "<FILEID>256</FILEID>"))), 811);
    EXPECT_TRUE(store.findDocument(0x100)) << "a refused delete keeps the document";
    EXPECT_EQ(codeOf(answer(job("LIST", ""))), -1);
    EXPECT_EQ(codeOf(answer(job("GETIMAGEINFO", "<FILEID>256</FILEID><PAGE>1</PAGE>"))), 600);
    const PageReply stalled =
        handler.handlePageDownload("", {{"FileID", "00000100"}, {"PageNumber", "1"}});
    EXPECT_EQ(stalled.misbehaviour, MisbehaviourKind::Stall);
    EXPECT_EQ(stalled.stallSeconds, 3);
}

TEST(MisbehaviourRuleTest, ParsesRulesAndRefusesNonsense) {
    const struct {
        const char* text;
        bool ok;
        MisbehaviourKind kind;
        const char* target;
        int value;
        int skip;
    } cases[] = {
        {"refuse:LIST:807", true, MisbehaviourKind::Refuse, "LIST", 807, 0},
        {"status:loadimg:500", true, MisbehaviourKind::Status, "loadimg", 500, 0},
        {"stall:all", true, MisbehaviourKind::Stall, "all", 120, 0},
        {"stall:scanbox:2@3", true, MisbehaviourKind::Stall, "scanbox", 2, 3},
        {"drop:loadimg@1", true, MisbehaviourKind::Drop, "loadimg", 0, 0 + 1},
        {"malformed:GETIMAGEINFO", true, MisbehaviourKind::Malformed, "GETIMAGEINFO", 0, 0},
        {"unsized:loadimg", true, MisbehaviourKind::Unsized, "loadimg", 0, 0},
        {"refuse:LIST", false, MisbehaviourKind::None, "", 0, 0},
        {"explode:LIST", false, MisbehaviourKind::None, "", 0, 0},
        {"drop", false, MisbehaviourKind::None, "", 0, 0},
        {"drop::", false, MisbehaviourKind::None, "", 0, 0},
        {"stall:all:x", false, MisbehaviourKind::None, "", 0, 0},
        {"stall:all@", false, MisbehaviourKind::None, "", 0, 0},
    };
    for (const auto& c : cases) {
        const auto rule = parseMisbehaviourRule(c.text);
        ASSERT_EQ(rule.has_value(), c.ok) << c.text;
        if (rule) {
            EXPECT_EQ(rule->kind, c.kind) << c.text;
            EXPECT_EQ(rule->target, c.target) << c.text;
            EXPECT_EQ(rule->value, c.value) << c.text;
            EXPECT_EQ(rule->skip, c.skip) << c.text;
        }
    }
    Misbehaviour misbehaviour;
    EXPECT_FALSE(misbehaviour.setRules({"drop:all", "nonsense"}));
    EXPECT_EQ(misbehaviour.decide("LIST", false).kind, MisbehaviourKind::None)
        << "a refused list changes nothing";
}

}  // namespace
