// The save-as dialog's request and the extension rules of the chosen name, with the dialog
// played by an interceptor.
#include "ui/savefilename.h"
#include <QFileDialog>
#include <QFileInfo>

#include "platform/savefiledialog.h"
#include "tests/commands/commandstestenv.h"

TEST(SaveFileFilter, ParsesThePipeSeparatedList) {
    const QList<SaveFileFilter> filters =
        ParseSaveFileFilter("PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff||");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].description, "PDF Files (*.pdf)");
    EXPECT_EQ(filters[0].patterns, "*.pdf");
    EXPECT_EQ(filters[1].description, "TIFF Files (*.tif;*.tiff)");
    EXPECT_EQ(filters[1].patterns, "*.tif;*.tiff");
    EXPECT_EQ(ParseSaveFileFilter("A|*.a").size(), 1);  // no "||" end
    EXPECT_TRUE(ParseSaveFileFilter("").isEmpty());
    EXPECT_TRUE(ParseSaveFileFilter("A||B|*.b||").isEmpty());
}

TEST(AskSaveFileName, AppendsTheSelectedFiltersExtensionWhenTheNameDoesNotSuit) {
    testApplication();
    const struct {
        bool monochrome;
        const char* chosen;
        int filter;
        const char* path;
        int type;
    } cases[] = {
        {true, "/out/scan.jpg", 2, "/out/scan.jpg.tif", 1},
        {true, "/out/scan.jpg", 1, "/out/scan.jpg.pdf", 0},
        {true, "/out/scan.TIF", 2, "/out/scan.TIF", 1},
        {true, "/out/scan.Tiff", 1, "/out/scan.Tiff", 1},
        {true, "/out/scan.PDF", 2, "/out/scan.PDF", 0},
        {true, "/out/scan", 2, "/out/scan.tif", 1},
        {false, "/out/photo.tif", 2, "/out/photo.tif.jpg", 2},
        {false, "/out/photo.tif", 1, "/out/photo.tif.pdf", 0},
        {false, "/out/photo.JPEG", 1, "/out/photo.JPEG", 2},
        {false, "/out/photo.jp2", 2, "/out/photo.jp2.jpg", 2},
    };
    for (const auto& c : cases) {
        SaveFileRequest seen;
        const SaveFileDialogInterceptor previous =
            SetSaveFileDialogInterceptor([&](const SaveFileRequest& request) {
                seen = request;
                return SaveFileAnswer{true, QString::fromUtf8(c.chosen), c.filter};
            });
        const SaveFileChoice choice = AskSaveFileName(nullptr, c.monochrome, 1, "/out");
        SetSaveFileDialogInterceptor(previous);
        EXPECT_EQ(choice.result, IDOK) << c.chosen;
        EXPECT_EQ(choice.path, c.path) << c.chosen;
        EXPECT_EQ(choice.type, c.type) << c.chosen;
        EXPECT_EQ(seen.filterIndex, 2);
        EXPECT_EQ(seen.initialFolder, "/out");
        EXPECT_EQ(seen.defaultExtension, "pdf");
        EXPECT_EQ(seen.filter,
                  c.monochrome
                      ? "PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff||"
                      : "PDF Files (*.pdf)|*.pdf|JPEG Files (*.jpg;*.jpeg)|*.jpg;*.jpeg||");
    }
}

TEST(AskSaveFileName, CancelGivesNoPath) {
    testApplication();
    const SaveFileDialogInterceptor previous =
        SetSaveFileDialogInterceptor([](const SaveFileRequest&) { return SaveFileAnswer(); });
    const SaveFileChoice choice = AskSaveFileName(nullptr, false, 0, QString());
    SetSaveFileDialogInterceptor(previous);
    EXPECT_EQ(choice.result, IDCANCEL);
    EXPECT_TRUE(choice.path.isEmpty());
}

// The toolkit's dialog itself, answered by a poll that picks a file the way a user would.
TEST(SaveFileDialog, ShowsTheFiltersAndAddsTheSelectedFiltersExtension) {
    testApplication();
    TempFolder folder("savedialog");
    const QString root = QString::fromStdString(folder.path().string());
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {{"picked", "picked.tif"}, {"picked.pdf", "picked.pdf"}};
    for (const auto& c : cases) {
        QStringList filters;
        QString selected;
        QString shownFolder;
        DialogAnswerer<QFileDialog> user([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            selected = dialog->selectedNameFilter();
            shownFolder = dialog->directory().absolutePath();
            dialog->selectFile(root + u'/' + QString::fromUtf8(c.typed));
            static_cast<QDialog*>(dialog)->accept();  // public on the base, as the Save button
        });
        SaveFileRequest request;
        request.filter = QString::fromUtf16(kMonoSaveFilter);
        request.filterIndex = 2;
        request.initialFolder = root;
        request.defaultExtension = QStringLiteral("pdf");
        const SaveFileAnswer answer = RunSaveFileDialog(request);
        EXPECT_EQ(filters, QStringList({"PDF Files (*.pdf)", "TIFF Files (*.tif *.tiff)"}));
        EXPECT_EQ(selected, "TIFF Files (*.tif *.tiff)");
        EXPECT_EQ(shownFolder, root);
        EXPECT_TRUE(answer.accepted);
        EXPECT_EQ(answer.path, root + u'/' + QString::fromUtf8(c.saved));
        EXPECT_EQ(answer.filterIndex, 2);
        EXPECT_FALSE(QFileInfo::exists(answer.path));
    }
}
