#include "tests/commands/commandstestenv.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <tiffio.h>

#include "tools/mfpsim/simulatorstore.h"

namespace {

constexpr int kDpi = 200;

std::string Bytes(const pagemaker::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The page files of the real documents, made once per test program.
struct PageFiles {
    std::vector<std::string> colour;
    std::vector<std::string> mono;
    std::string landscape;
};

}  // namespace

std::vector<pagemaker::RgbImage>& CommandsTest::ColourPages() {
    static std::vector<pagemaker::RgbImage> pages = [] {
        std::vector<pagemaker::RgbImage> made;
        for (std::uint32_t page = 1; page <= 5; ++page) {
            made.push_back(pagemaker::texturedPattern(240, 320, page));
        }
        return made;
    }();
    return pages;
}

std::vector<pagemaker::BitonalImage>& CommandsTest::MonoPages() {
    static std::vector<pagemaker::BitonalImage> pages = [] {
        std::vector<pagemaker::BitonalImage> made;
        for (std::uint32_t page = 1; page <= 5; ++page) {
            made.push_back(pagemaker::textLikePattern(1654, 2339, page));
        }
        return made;
    }();
    return pages;
}

pagemaker::BitonalImage& CommandsTest::LandscapePage() {
    static pagemaker::BitonalImage page = pagemaker::textLikePattern(2339, 1654, 99);
    return page;
}

void CommandsTest::SetUp() {
    UiTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    static const PageFiles files = [] {
        PageFiles made;
        for (const pagemaker::RgbImage& page : ColourPages()) {
            made.colour.push_back(Bytes(pagemaker::makeColourJpeg(page, kDpi, kDpi)));
        }
        for (const pagemaker::BitonalImage& page : MonoPages()) {
            made.mono.push_back(Bytes(pagemaker::makeBlackWhiteTiff(page, kDpi, kDpi)));
        }
        made.landscape = Bytes(pagemaker::makeBlackWhiteTiff(LandscapePage(), kDpi, kDpi));
        return made;
    }();

    SimulatorStore store(store_->path());
    ASSERT_TRUE(store.addBox({realbox::kBox, "Real", 1, ""}));
    auto add = [&](std::uint32_t fileId, const char* name, const char* time, int format, int width,
                   int height, const std::vector<std::string>& pages) {
        StoredDocument document;
        document.fileId = fileId;
        document.folderId = realbox::kBox;
        document.fileName = name;
        document.timestamp = time;
        document.imageFormat = format;
        document.xPixel = width;
        document.yPixel = height;
        document.xResolution = kDpi;
        document.yResolution = kDpi;
        ASSERT_TRUE(store.addDocument(document, pages));
    };
    add(realbox::kColour, "0401", "2012/01/01 10:00:00", 1, 240, 320, files.colour);
    add(realbox::kMono, "0402", "2012/02/01 10:00:00", 0, 1654, 2339, files.mono);
    add(realbox::kLandscape, "0403", "2012/03/01 10:00:00", 0, 2339, 1654, {files.landscape});
}

void CommandsTest::ClickBox(int index) {
    QTreeWidget* tree = window().control<QTreeWidget>(CMainDlg::IdBoxTree);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    QTreeWidgetItem* item = index == 0 ? root : root->child(index - 1);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

QTreeWidget* CommandsTest::List() {
    return window().control<QTreeWidget>(CMainDlg::IdDocumentList);
}

bool CommandsTest::SelectDocument(int index) {
    QTreeWidget* list = List();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->data(0, Qt::UserRole).toInt() == index) {
            list->setCurrentItem(item);
            return item->isSelected();
        }
    }
    return false;
}

void CommandsTest::ChoosePages(const QString& first, const QString& last) {
    window().control<QAbstractButton>(CMainDlg::IdRangePages)->click();
    window().control<QLineEdit>(CMainDlg::IdFromPage)->setText(first);
    window().control<QLineEdit>(CMainDlg::IdToPage)->setText(last);
}

bool CommandsTest::StoreHas(std::uint32_t fileId) const {
    return SimulatorStore(store_->path()).findDocument(fileId).has_value();
}

int CommandsTest::DeleteRequests() const {
    int count = 0;
    for (const LoggedRequest& request : sim_->requests()) {
        count += request.command == "DELETE" ? 1 : 0;
    }
    return count;
}

int CommandsTest::PageDownloads() const {
    int count = 0;
    for (const LoggedRequest& request : sim_->requests()) {
        count += request.target.rfind("/loadimg.cgi", 0) == 0 ? 1 : 0;
    }
    return count;
}

QStringList CommandsTest::MessageTexts() const {
    QStringList texts;
    for (const MessageBoxCall& call : messages_->calls()) {
        texts.append(call.text);
    }
    return texts;
}

QString CommandsTest::Output(const QString& name) const {
    return QString::fromStdString(destination_->path().string()) + u'/' + name;
}

SaveDialogScript::SaveDialogScript() {
    previous_ = SetSaveFileDialogInterceptor([this](const SaveFileRequest& request) {
        requests_.push_back(request);
        if (answers_.empty()) {
            return SaveFileAnswer();
        }
        SaveFileAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

SaveDialogScript::~SaveDialogScript() {
    SetSaveFileDialogInterceptor(previous_);
}

void SaveDialogScript::choose(const QString& path, int filterIndex) {
    answers_.push_back({true, path, filterIndex});
}

void SaveDialogScript::cancel() {
    answers_.push_back(SaveFileAnswer());
}

ProgressOk::ProgressOk()
    : DialogAnswerer<CProgressDlg>([](CProgressDlg* dialog) {
          auto* ok = dialog->control<QPushButton>(kProgressOkId);
          if (ok && ok->isEnabled() &&
              dialog->m_statusText == QStringLiteral("Saved successfully")) {
              ok->click();
          }
      }) {}

int CheckedPdfPages(const QString& path) {
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit ||
        qpdf.exitCode() != 0) {
        return -1;
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished(60000) || info.exitCode() != 0) {
        return -1;
    }
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

int DecodedTiffPages(const QString& path) {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (tiff == nullptr) {
        return -1;
    }
    int pages = 0;
    do {
        std::vector<unsigned char> strip(static_cast<std::size_t>(TIFFStripSize(tiff)));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff); ++s) {
            if (TIFFReadEncodedStrip(tiff, s, strip.data(), static_cast<tmsize_t>(strip.size())) <
                0) {
                TIFFClose(tiff);
                return -1;
            }
        }
        ++pages;
    } while (TIFFReadDirectory(tiff) == 1);
    TIFFClose(tiff);
    return pages;
}
