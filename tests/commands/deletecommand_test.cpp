// The document list's Delete command, and the rule that a saved document leaves its box only
// once the saved outputs are on stable storage.
#include <QFile>
#include <QTreeWidget>

#include <cerrno>

#include "convert/convertor.h"
#include "device/deviceaccess.h"
#include "platform/durablefiles.h"
#include "tests/commands/commandstestenv.h"
#include "ui/savecommandsdelete.h"

TEST_F(CommandsTest, DeleteCommandRemovesTheDocumentAndListsTheBoxAgain) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    sim_->clearRequests();

    ASSERT_TRUE(window().runCommand(CMainDlg::IdMenuDelete));

    EXPECT_FALSE(StoreHas(realbox::kMono));
    EXPECT_TRUE(StoreHas(realbox::kColour));
    EXPECT_EQ(DocumentListingRequests(), 1);
    ASSERT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_EQ(List()->topLevelItem(0)->text(0), "0403");
    EXPECT_EQ(List()->topLevelItem(1)->text(0), "0401");
    EXPECT_TRUE(MessageTexts().isEmpty());
}

TEST_F(CommandsTest, RefusedDeleteKeepsTheList) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    ASSERT_TRUE(sim_->setMisbehaviour({"refuse:DELETE:811"}));
    sim_->clearRequests();

    window().runCommand(CMainDlg::IdMenuDelete);

    EXPECT_EQ(MessageTexts(), QStringList{"Unable to connect to the scanner."});
    ASSERT_EQ(messages_->calls().size(), 1u);
    EXPECT_EQ(messages_->calls().front().caption, "Communication");
    EXPECT_TRUE(StoreHas(realbox::kMono));
    EXPECT_EQ(DocumentListingRequests(), 0);
    EXPECT_EQ(List()->topLevelItemCount(), 3);
    EXPECT_TRUE(List()->topLevelItem(1)->isSelected());
}

TEST_F(CommandsTest, FailedRelistingAfterDeleteEmptiesTheList) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    ASSERT_TRUE(sim_->setMisbehaviour({"status:LIST:500"}));

    window().runCommand(CMainDlg::IdMenuDelete);

    EXPECT_FALSE(StoreHas(realbox::kMono));
    EXPECT_EQ(MessageTexts(), QStringList{"Unable to connect to the scanner."});
    EXPECT_EQ(List()->topLevelItemCount(), 0);
}

TEST_F(CommandsTest, SavedDocumentIsNotDeletedWhenAnOutputIsNotOnDisk) {
    OpenWindow();
    ClickBox(realbox::kBox);
    sim_->clearRequests();
    IConvertor convertor;
    std::int32_t code = -1;

    // An output that is gone (moved away, or removed with the work folder) is no saved copy.
    convertor.m_outputs = {Output("never-written.pdf")};
    EXPECT_EQ(DeleteSavedDocument(mfp_, realbox::kColourIndex, convertor, &code),
              SavedDocumentDelete::NotDurable);
    convertor.m_outputs.clear();
    EXPECT_EQ(DeleteSavedDocument(mfp_, realbox::kColourIndex, convertor, &code),
              SavedDocumentDelete::NotDurable);
    EXPECT_EQ(DeleteRequests(), 0);
    EXPECT_TRUE(StoreHas(realbox::kColour));

    QFile written(Output("written.pdf"));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write("%PDF-1.6");
    written.close();
    convertor.m_outputs = {Output("written.pdf")};
    EXPECT_EQ(DeleteSavedDocument(mfp_, realbox::kColourIndex, convertor, &code),
              SavedDocumentDelete::Deleted);
    EXPECT_FALSE(StoreHas(realbox::kColour));
    EXPECT_EQ(DeleteRequests(), 1);
}

TEST(DurableFiles, FlushesExistingFilesAndRefusesEverythingElse) {
    TempFolder folder("durable");
    const QString root = QString::fromStdString(folder.path().string());
    QFile file(root + "/out.tif");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("II*");
    file.close();

    const struct {
        const char* name;
        QStringList paths;
        int error;
    } cases[] = {
        {"one file", {root + "/out.tif"}, 0},
        {"the same file twice", {root + "/out.tif", root + "/out.tif"}, 0},
        {"missing file", {root + "/out.tif", root + "/gone.tif"}, ENOENT},
        {"a folder", {root}, EISDIR},
        {"no paths", {}, ENOENT},
        {"empty path", {QString()}, ENOENT},
    };
    for (const auto& c : cases) {
        const FlushResult result = FlushToStableStorage(c.paths);
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_EQ(result.ok(), c.error == 0) << c.name;
    }
    EXPECT_EQ(FlushToStableStorage({root + "/gone.tif"}).path, root + "/gone.tif");
}
