// ListDocuments, DocumentColumns and DeleteDocument over the network path against a scripted
// device.

#include <gtest/gtest.h>

#include <array>

#include "device/deviceaccess.h"
#include "tests/device/networkfixture.h"

namespace {

std::string FileElement(unsigned fileId, const std::string& fileName, const std::string& timestamp,
                        int pages, int imageFormat) {
    return "<FILE><FOLDERID>5</FOLDERID><FOLDERNAME>Open</FOLDERNAME><FILEID>" +
           std::to_string(fileId) + "</FILEID><FILENAME>" + fileName + "</FILENAME><TIMESTAMP>" +
           timestamp + "</TIMESTAMP><PAGES>" + std::to_string(pages) + "</PAGES><IMAGEFORMAT>" +
           std::to_string(imageFormat) + "</IMAGEFORMAT><ATTRIBUTE>2</ATTRIBUTE></FILE>";
}

class DocumentListingTest : public ScriptedNetworkTest {
  protected:
    void SetUp() override {
        ScriptedNetworkTest::SetUp();
        ListBoxesFrom("<CODE>600</CODE>" + FolderElement(5, "Open", 0x01) +
                      FolderElement(6, "Locked", 0x11) + FolderElement(0, "NoId", 0x01));
        NetworkBoxTable().entries[1].treeKey = 201;
        NetworkBoxTable().entries[2].treeKey = 202;
    }

    // The body of the last job sent.
    std::string LastBody() const { return device.requests().back().body; }
};

TEST_F(DocumentListingTest, ReadsEntriesAndColumns) {
    device.answerJob(JobResponse("<CODE>600</CODE><FILEID>99</FILEID><PAGES>9</PAGES>" +
                                 FileElement(107251, "0001", "2012/03/01 10:00:00", 3, 1) +
                                 FileElement(7, "0002", "2012/01/05 09:00:00", 12, 0)));
    std::int32_t code = -5;

    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 201, 0, "9999", &code), 1);

    EXPECT_EQ(code, -5);
    const DocumentTable& table = NetworkDocumentTable();
    ASSERT_EQ(table.count, 2);
    // Fields before the first FILE belong to no entry.
    const DocumentEntry& first = table.entries[0];
    EXPECT_EQ(first.fileId, 107251u);
    EXPECT_EQ(first.folderId, 5u);
    EXPECT_EQ(first.attribute, 2u);
    EXPECT_EQ(first.pages, 3);
    EXPECT_EQ(first.imageFormat, 1);
    EXPECT_EQ(QString::fromUtf16(first.folderName), "Open");
    EXPECT_EQ(table.entries[1].fileId, 7u);

    QStringList fileNames, timestamps, pages;
    std::array<std::int32_t, kDocumentTableSize> formats;
    formats.fill(-1);
    DeviceAccess::DocumentColumns(mfp, fileNames, timestamps, pages, formats);
    EXPECT_EQ(fileNames, (QStringList{"0001", "0002"}));
    EXPECT_EQ(timestamps, (QStringList{"2012/03/01 10:00:00", "2012/01/05 09:00:00"}));
    EXPECT_EQ(pages, (QStringList{"3", "12"}));
    EXPECT_EQ(formats[0], 1);
    EXPECT_EQ(formats[1], 0);
    EXPECT_EQ(formats[2], -1);
}

TEST_F(DocumentListingTest, PasswordOnlyForProtectedBoxAndBeforeFolderId) {
    device.answerJob(JobResponse("<CODE>600</CODE>"));
    device.answerJob(JobResponse("<CODE>600</CODE>"));

    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 202, 0, "1234", nullptr), 1);
    const std::string locked = LastBody();
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 0, 1, "1234", nullptr), 1);
    const std::string open = LastBody();

    const auto password = locked.find("<PASSWORD>1234</PASSWORD>");
    ASSERT_NE(password, std::string::npos) << locked;
    EXPECT_LT(password, locked.find("<FOLDERID>6</FOLDERID>")) << locked;
    EXPECT_EQ(open.find("PASSWORD"), std::string::npos) << open;
    EXPECT_NE(open.find("<FOLDERID>5</FOLDERID>"), std::string::npos) << open;
    EXPECT_EQ(NetworkDocumentTable().count, 0);
}

TEST_F(DocumentListingTest, RefusalGoesToTheCallersPlace) {
    device.answerJob(JobResponse("<CODE>807</CODE>"));
    std::int32_t code = 0;

    EXPECT_EQ(DeviceAccess::ListDocuments(mfp, 202, 0, "0000", &code), 0);

    EXPECT_EQ(code, 807);
    EXPECT_EQ(NetworkDocumentTable().count, 0);
}

TEST_F(DocumentListingTest, NothingIsSentWithoutABox) {
    const auto before = device.requests().size();
    struct NoRequest {
        std::uint32_t treeKey;
        int index;
        int expectedCount;  // the table count afterwards
    };
    NetworkDocumentTable().count = 42;
    for (const NoRequest& row : {NoRequest{0, 0, 42},     // the root
                                 NoRequest{999, 1, 42},   // an unknown tree key
                                 NoRequest{0, 7, 42},     // an index past the boxes
                                 NoRequest{0, -1, 42},    // a negative index
                                 NoRequest{0, 3, -1}}) {  // a box whose folderId is 0
        SCOPED_TRACE(testing::Message() << row.treeKey << "/" << row.index);
        EXPECT_EQ(DeviceAccess::ListDocuments(mfp, row.treeKey, row.index, "", nullptr), 0);
        EXPECT_EQ(NetworkDocumentTable().count, row.expectedCount);
    }
    EXPECT_EQ(device.requests().size(), before);
}

TEST_F(DocumentListingTest, NoResponseMarksTheTable) {
    mfp.httpPortNumber = 1;
    EXPECT_EQ(DeviceAccess::ListDocuments(mfp, 201, 0, "", nullptr), 0);
    EXPECT_EQ(NetworkDocumentTable().count, -1);
    QStringList fileNames, timestamps, pages;
    std::array<std::int32_t, kDocumentTableSize> formats{};
    DeviceAccess::DocumentColumns(mfp, fileNames, timestamps, pages, formats);
    EXPECT_TRUE(fileNames.isEmpty());
}

TEST_F(DocumentListingTest, MoreDocumentsThanTheTableHoldsStopAtTheFull) {
    std::string response = "<CODE>600</CODE>";
    for (unsigned i = 1; i <= 257; ++i) {
        response += FileElement(i, std::to_string(i), "2012/01/01 00:00:00", 1, 1);
    }
    device.answerJob(JobResponse(response));

    EXPECT_EQ(DeviceAccess::ListDocuments(mfp, 201, 0, "", nullptr), 1);

    const DocumentTable& table = NetworkDocumentTable();
    ASSERT_EQ(table.count, 256);
    EXPECT_EQ(table.entries[255].fileId, 256u);
}

TEST_F(DocumentListingTest, DeleteSendsTheFileIdAndReportsRefusals) {
    device.answerJob(JobResponse("<CODE>600</CODE>" + FileElement(4242, "1", "x", 1, 1) +
                                 FileElement(77, "2", "y", 1, 1)));
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 201, 0, "", nullptr), 1);
    device.answerJob(JobResponse("<CODE>600</CODE>"));
    device.answerJob(JobResponse("<CODE>811</CODE>"));
    std::int32_t code = 0;

    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, 0, &code), 1);
    EXPECT_NE(LastBody().find("<COMMAND>DELETE</COMMAND><TYPE>STORAGE</TYPE><PARAM><STORAGE>"
                              "<FILEID>4242</FILEID></STORAGE></PARAM>"),
              std::string::npos)
        << LastBody();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, 1, &code), 0);
    EXPECT_EQ(code, 811);
}

TEST_F(DocumentListingTest, DeleteSendsNothingWithoutADocument) {
    device.answerJob(JobResponse("<CODE>600</CODE>" + FileElement(0, "1", "x", 1, 1)));
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 201, 0, "", nullptr), 1);
    const auto before = device.requests().size();

    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, 0, nullptr), 0);  // fileId 0
    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, 1, nullptr), 0);  // past the listing
    EXPECT_EQ(DeviceAccess::DeleteDocument(mfp, -1, nullptr), 0);

    EXPECT_EQ(device.requests().size(), before);
}

}  // namespace
