#include "tests/savejob/savejobfixture.h"

#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <fstream>
#include <iterator>

#include "app/folders/workfolders.h"
#include "app/settings/currentsettings.h"
#include "app/texts/texttables.h"
#include "device/deviceaccess.h"
#include "platform/textconv.h"
#include "tests/dialogframe/qtapp.h"
#include "tools/mfpsim/simulatorstore.h"
#include "tools/pagemaker/pagemaker.h"
#include "ui/progress/runsavejob.h"

void SaveJobTest::SetUpTestSuite() {
    testApplication();
    FillTextTable(MessageTextTable);
    FillTextTable(ProgressTextTable);
    CreateWorkFolders();
}

void SaveJobTest::TearDown() {
    libraries.reset();
    if (simulator) {
        simulator->stop();
    }
}

void SaveJobTest::StartDevice(int pages, bool mono, const std::vector<std::string>& misbehave) {
    ASSERT_FALSE(store_.path().empty());
    ASSERT_TRUE(out_.isValid());
    monochrome = mono;
    SimulatorStore store(store_.path());
    ASSERT_TRUE(store.addBox({5, "Scans", 1, ""}));
    StoredDocument document;
    document.fileId = kSavedFileId;
    document.folderId = 5;
    document.fileName = "0001";
    document.timestamp = "2012/03/01 10:00:00";
    document.imageFormat = mono ? 0 : 1;
    document.pages = pages;
    document.xPixel = 64;
    document.yPixel = 48;
    document.xResolution = 200;
    document.yResolution = 200;
    std::vector<std::string> files;
    for (int page = 1; page <= pages; ++page) {
        const pagemaker::Bytes bytes =
            mono ? pagemaker::makeBlackWhiteTiff(
                       pagemaker::textLikePattern(64, 48, static_cast<std::uint32_t>(page)), 200,
                       200)
                 : pagemaker::makeColourJpeg(
                       pagemaker::texturedPattern(64, 48, static_cast<std::uint32_t>(page)), 200,
                       200);
        ASSERT_FALSE(bytes.empty());
        files.emplace_back(bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(store.addDocument(document, files));

    SimulatorOptions options;
    options.store = store_.path();
    options.misbehave = misbehave;
    simulator = std::make_unique<SimulatorProcess>(options);
    ASSERT_TRUE(simulator->running()) << simulator->error();
    libraries = std::make_unique<DeviceTestLibraries>();
    ASSERT_TRUE(libraries->ready()) << libraries->error();
    mfp.IPv4Address = QString::fromStdString(simulator->host());
    mfp.httpPortNumber = simulator->port();
    mfp.isUSB = 0;
    SetMFPInfo(mfp);

    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);
    std::int32_t code = 0;
    ASSERT_EQ(DeviceAccess::ListDocuments(mfp, 0, 1, QString(), &code), 1) << code;
    const DocumentTable& table = DocumentTableFor(mfp);
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].fileId == kSavedFileId) {
            documentIndex = i;
        }
    }
    ASSERT_GE(documentIndex, 0);
    simulator->clearRequests();
}

bool SaveJobTest::Save(IConvertor& convertor) {
    barPositions.clear();
    statusTexts.clear();
    auto* bar = dialog().control<QProgressBar>(kProgressBarId);
    auto* status = dialog().control<QLabel>(kProgressStatusId);
    auto* ok = dialog().control<QPushButton>(kProgressOkId);
    const QMetaObject::Connection barWatch = QObject::connect(
        bar, &QProgressBar::valueChanged, [this](int value) { barPositions.push_back(value); });
    // The user: reads the status line and presses OK as soon as it is offered.
    QTimer user;
    user.setInterval(2);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!dialog().HasWindow()) {
            return;
        }
        if (statusTexts.isEmpty() || statusTexts.last() != status->text()) {
            statusTexts.append(status->text());
        }
        if (ok->isEnabled()) {
            ok->click();
        }
    });
    user.start();
    const bool saved = RunSaveJob(owner, documentIndex, &convertor);
    user.stop();
    QObject::disconnect(barWatch);
    if (statusTexts.isEmpty() || statusTexts.last() != status->text()) {
        statusTexts.append(status->text());
    }
    return saved;
}

void SaveJobTest::OnUiThread(const std::function<void()>& action) {
    QMetaObject::invokeMethod(&dialog(), action, Qt::BlockingQueuedConnection);
}

std::vector<int> SaveJobTest::DownloadedPages() const {
    std::vector<int> pages;
    for (const LoggedRequest& request : simulator->requests()) {
        const auto at = request.target.find("PageNumber=");
        if (request.target.rfind("/loadimg.cgi", 0) == 0 && at != std::string::npos) {
            pages.push_back(std::stoi(request.target.substr(at + 11)));
        }
    }
    return pages;
}

std::string SaveJobTest::StoredPage(int page) const {
    SimulatorStore store(store_.path());
    const auto document = store.findDocument(kSavedFileId);
    if (!document) {
        return std::string();
    }
    std::ifstream in(store.pagePath(*document, page), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QString SaveJobTest::SaveFolderPath() const {
    return platform::toQString(SaveFolder());
}
