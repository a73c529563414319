#pragma once
// Fixture of the save, delete and preview command tests: the main-window fixture of the user
// interface tests plus a box of documents with real page images (colour JPEG, black-and-white
// Group 4 TIFF), a scripted save-as dialog and an answerer for the progress dialog.

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/savefiledialog.h"
#include "tests/ui/uitestenv.h"
#include "tools/pagemaker/pagemaker.h"
#include "ui/progress/progressdialog.h"

class QTreeWidget;
class QTreeWidgetItem;

// Reaches the window's private state that the commands work with.
class MainDialogProbe {
  public:
    static int& CurrentPage(CMainDlg& window) { return window.currentPage_; }
    static const QImage& PreviewImage(const CMainDlg& window) { return window.previewImage_; }
    static QRect PreviewRect(const CMainDlg& window) { return window.previewRect_; }
    static int SimpleIndex(const CMainDlg& window) { return window.simpleDocument_.index; }
    static int SavedCount(const CMainDlg& window) { return window.savedCount; }
    static void PreviewPage(CMainDlg& window, int index) { window.PreviewPage(index); }
    static IConvertor* Convertor(CMainDlg& window) { return window.convertor_.get(); }
};

// The box of real documents, folder id 4 (tree child 3), its documents in table order.
namespace realbox {
inline constexpr int kBox = 4;
inline constexpr std::uint32_t kColour = 0x401;     // colour, 5 pages of 240 x 320
inline constexpr std::uint32_t kMono = 0x402;       // B/W, 5 pages of 1654 x 2339 (portrait A4)
inline constexpr std::uint32_t kLandscape = 0x403;  // B/W, 1 page of 2339 x 1654
inline constexpr int kColourIndex = 0;
inline constexpr int kMonoIndex = 1;
inline constexpr int kLandscapeIndex = 2;
}  // namespace realbox

// Plays the save-as dialog while it lives: each dialog takes the next scripted answer (cancel
// when the script has run out) and the requests are kept for the test to look at.
class SaveDialogScript {
  public:
    SaveDialogScript();
    ~SaveDialogScript();
    SaveDialogScript(const SaveDialogScript&) = delete;
    SaveDialogScript& operator=(const SaveDialogScript&) = delete;

    // Queues an answer choosing `path` with filter `filterIndex` (1 = the first).
    void choose(const QString& path, int filterIndex);
    // Queues a cancel.
    void cancel();
    const std::vector<SaveFileRequest>& requests() const { return requests_; }

  private:
    std::deque<SaveFileAnswer> answers_;
    std::vector<SaveFileRequest> requests_;
    SaveFileDialogInterceptor previous_;
};

// Presses OK in the progress dialog once it shows "Saved successfully"; leaves it alone before.
class ProgressOk : public DialogAnswerer<CProgressDlg> {
  public:
    ProgressOk();
};

class CommandsTest : public UiTest {
  protected:
    void SetUp() override;

    // The pixels of the real documents' pages, page 1 first.
    static std::vector<pagemaker::RgbImage>& ColourPages();
    static std::vector<pagemaker::BitonalImage>& MonoPages();
    static pagemaker::BitonalImage& LandscapePage();

    // Clicks the tree item of box-list entry `index` with the mouse.
    void ClickBox(int index);
    // Selects the list item of document `index` (its item data); false when there is none.
    bool SelectDocument(int index);
    // Chooses the page range "Pages" and types first and last page.
    void ChoosePages(const QString& first, const QString& last);

    QTreeWidget* List();
    bool StoreHas(std::uint32_t fileId) const;
    int DeleteRequests() const;
    int PageDownloads() const;
    // The texts of the message boxes shown so far.
    QStringList MessageTexts() const;
    QString Output(const QString& name) const;
};

// Pages of a PDF that passes `qpdf --check`, by pdfinfo; -1 when either refuses it.
int CheckedPdfPages(const QString& path);
// The directories of a TIFF, each of whose images libtiff decodes whole; -1 otherwise.
int DecodedTiffPages(const QString& path);
