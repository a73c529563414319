// Crash safety of a save with delete: the save runs in a child process (this test program,
// running its disabled probe) that stops at a named step; the test kills it there and checks the
// end state on disk. Whatever the step, the document is either still in its box, or it was
// deleted and its complete output is on disk.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "convert/colorpdfconvertor.h"
#include "device/deviceaccess.h"
#include "tests/convert/convertfixture.h"
#include "tests/faults/faultfixture.h"
#include "tools/mfpsim/simulatorstore.h"
#include "ui/savecommandsdelete.h"

using namespace convert;
using namespace converttest;

namespace {

constexpr const char* kPauseVariable = "VELNOR_FAULTS_PAUSE_AT";
constexpr const char* kMisbehaveVariable = "VELNOR_FAULTS_MISBEHAVE";

// In the probe: announces the step, and stops there for good when it is the one asked for.
void Step(const char* name) {
    const char* pauseAt = std::getenv(kPauseVariable);
    const bool pause = pauseAt != nullptr && std::string(pauseAt) == name;
    std::printf("%s %s\n", pause ? "pause" : "step", name);
    std::fflush(stdout);
    while (pause) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

class ProbeConvertor : public CColorPdfConvertor {
  public:
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override {
        Step("converting");
        const HRESULT result = CColorPdfConvertor::Convert(pages, documentId);
        Step("converted");
        return result;
    }
};

// The probe: a save of three colour pages to PDF with delete after save, as the main window runs
// it, announcing each step. Run only as the child of CrashSafetyTest.
TEST_F(FaultMatrixTest, DISABLED_SaveWithDeleteProbe) {
    std::vector<std::string> misbehave;
    if (const char* rule = std::getenv(kMisbehaveVariable); rule != nullptr && *rule != '\0') {
        misbehave.emplace_back(rule);
    }
    StartFaultDevice(3, false, misbehave, false);
    std::printf("store %s\nout %s\n", store_.path().c_str(), out().toStdString().c_str());
    std::fflush(stdout);
    ProbeConvertor convertor;
    ASSERT_EQ(convertor.Prepare(out(), QStringLiteral("scan.pdf")), kOk);
    ASSERT_EQ(convertor.SetWorkFolder(SaveFolderPath()), kOk);
    ASSERT_EQ(convertor.SetPageRange(1, 3), kOk);
    owner.SaveJobRecord().downloadPage = [](const MFPInfo& m, int index, int page,
                                            PageImageInfo* info) {
        Step(("download-" + std::to_string(page)).c_str());
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };
    ASSERT_TRUE(Save(convertor));
    Step("saved");
    Step("deleting");
    std::int32_t code = 0;
    const SavedDocumentDelete deleted = DeleteSavedDocument(mfp, documentIndex, convertor, &code);
    Step(deleted == SavedDocumentDelete::Deleted ? "deleted" : "not-deleted");
}

struct CrashCase {
    const char* name;
    const char* pauseAt;    // the step the probe stops at ("" none)
    const char* killOn;     // the probe's line after which it is killed
    const char* misbehave;  // the simulator's rule, if any
    bool deleted;           // the document is gone afterwards
};

class CrashSafetyTest : public testing::TestWithParam<CrashCase> {};

TEST_P(CrashSafetyTest, KilledAtAStepLosesNothing) {
    const CrashCase& row = GetParam();
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromUtf8(kPauseVariable), QString::fromUtf8(row.pauseAt));
    environment.insert(QString::fromUtf8(kMisbehaveVariable), QString::fromUtf8(row.misbehave));
    probe.setProcessEnvironment(environment);
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=FaultMatrixTest.DISABLED_SaveWithDeleteProbe")});
    ASSERT_TRUE(probe.waitForStarted());

    std::string store;
    std::string out;
    bool paused = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!paused && std::chrono::steady_clock::now() < deadline) {
        if (!probe.canReadLine() && !probe.waitForReadyRead(1000)) {
            if (probe.state() == QProcess::NotRunning) {
                break;
            }
            continue;
        }
        while (probe.canReadLine()) {
            const std::string line = probe.readLine().trimmed().toStdString();
            if (line.rfind("store ", 0) == 0) {
                store = line.substr(6);
            } else if (line.rfind("out ", 0) == 0) {
                out = line.substr(4);
            } else if (line == row.killOn) {
                paused = true;
            }
        }
    }
    ASSERT_TRUE(paused) << "the probe never printed " << row.killOn;
    if (std::string(row.misbehave).rfind("stall:DELETE", 0) == 0) {
        // Kill it while the DELETE is in flight: once the device has logged it.
        for (int i = 0; i < 30; ++i) {
            std::ifstream log(store + "/requests.log");
            const std::string text{std::istreambuf_iterator<char>(log),
                                   std::istreambuf_iterator<char>()};
            if (text.find("DELETE") != std::string::npos) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    probe.kill();
    ASSERT_TRUE(probe.waitForFinished(10000));
    // The simulator dies with the probe; give it a moment to go.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    SimulatorStore device(store);
    const bool stored = device.findDocument(kSavedFileId).has_value();
    EXPECT_EQ(stored, !row.deleted);
    const QString output = QString::fromStdString(out) + QStringLiteral("/scan.pdf");
    if (!stored) {
        EXPECT_EQ(CheckedPdfPages(output), 3) << "deleted without its complete output";
    }
    // A file under the output's own name is always a whole document.
    if (QFileInfo::exists(output)) {
        EXPECT_EQ(CheckedPdfPages(output), 3);
    }
    std::error_code error;
    std::filesystem::remove_all(store, error);
    std::filesystem::remove_all(out, error);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, CrashSafetyTest,
    testing::Values(CrashCase{"DuringTheDownload", "download-2", "pause download-2", "", false},
                    CrashCase{"DuringTheConversion", "converting", "pause converting", "", false},
                    CrashCase{"AfterTheConversion", "converted", "pause converted", "", false},
                    CrashCase{"AfterTheSaveBeforeTheDelete", "saved", "pause saved", "", false},
                    CrashCase{"WhileTheDeleteIsInFlight", "", "step deleting", "stall:DELETE:60",
                              false},
                    CrashCase{"AfterTheDelete", "deleted", "pause deleted", "", true}),
    [](const testing::TestParamInfo<CrashCase>& info) { return std::string(info.param.name); });

}  // namespace
