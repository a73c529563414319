// The worker's course through the job states, without a dialog or a device: the page download
// is a function of the test and the convertor a recording one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/convertor.h"
#include "ostrel/ostrel.h"
#include "tests/dialogframe/qtapp.h"
#include "ui/progress/savejobowner.h"
#include "ui/progress/saveworker.h"

namespace {

// What notify saw: state and current page at every call.
std::vector<std::pair<int, int>> g_seen;

void Record(ISaveJobOwner* owner) {
    const SaveJob& job = owner->SaveJobRecord();
    g_seen.emplace_back(job.state, job.current);
}

// Records what it was asked to convert; fails when told to.
class RecordingConvertor : public IConvertor {
  public:
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override {
        ++calls;
        id = documentId;
        for (int page = m_firstPage; page <= m_lastPage; ++page) {
            infos.push_back(pages[page]);
        }
        return result;
    }
    HRESULT result = convert::kOk;
    int calls = 0;
    std::uint32_t id = 0;
    std::vector<PageImageInfo> infos;
};

struct WorkerCase {
    const char* name;
    int failPage;    // the download of this page fails (0: none)
    int cancelPage;  // the cancel request arrives during this page (0: none)
    HRESULT convertResult;
    std::vector<std::pair<int, int>> seen;  // (state, current) at each notification
    int convertCalls;
    bool converted;
};

class SaveWorkerTest : public testing::TestWithParam<WorkerCase> {
  protected:
    static void SetUpTestSuite() { testApplication(); }
};

TEST_P(SaveWorkerTest, StatesFollowTheJob) {
    const WorkerCase& c = GetParam();
    CSaveJobOwner owner;
    SaveJob& job = owner.SaveJobRecord();
    RecordingConvertor convertor;
    convertor.SetPageRange(1, 3);
    convertor.result = c.convertResult;
    job.convertor = &convertor;
    job.documentIndex = 0;
    job.owner = &owner;
    job.notify = &Record;
    job.state = kSaveJobStarted;
    job.threadRunning = true;
    // Page 2's image information never arrives; the others' does.
    job.downloadPage = [&](const MFPInfo&, int, int page, PageImageInfo* info) {
        if (page == c.cancelPage) {
            owner.RequestCancel();
        }
        if (page == c.failPage) {
            return 0;
        }
        if (page != 2) {
            *info = PageImageInfo{100 * page, 200, 300, 300};
        }
        return page == 2 ? 808 : 1;  // a refused information request still counts as a page
    };
    g_seen.clear();

    EXPECT_EQ(SaveWorker(&job), 0);
    EXPECT_EQ(g_seen, c.seen);
    EXPECT_EQ(convertor.calls, c.convertCalls);
    EXPECT_EQ(job.converted, c.converted);
    EXPECT_FALSE(job.threadRunning);
    if (convertor.calls == 1) {
        ASSERT_EQ(convertor.infos.size(), 3u);
        EXPECT_EQ(convertor.infos[0].xPixel, 100);
        // Zero, not whatever the memory held: the PDF writer refuses it instead of guessing.
        EXPECT_EQ(convertor.infos[1].xPixel, 0);
        EXPECT_EQ(convertor.infos[1].xResolution, 0);
        EXPECT_EQ(convertor.infos[2].xPixel, 300);
    }
}

constexpr int D = kSaveJobDownloading;
constexpr int C = kSaveJobConverting;
constexpr int F = kSaveJobFinished;

INSTANTIATE_TEST_SUITE_P(
    Courses, SaveWorkerTest,
    testing::Values(
        WorkerCase{"Success",
                   0,
                   0,
                   convert::kOk,
                   {{D, 0}, {D, 1}, {D, 2}, {D, 3}, {C, 3}, {F, 3}},
                   1,
                   true},
        WorkerCase{"SecondPageFails",
                   2,
                   0,
                   convert::kOk,
                   {{D, 0}, {D, 1}, {kSaveJobDownloadFailed, 2}, {F, 2}},
                   0,
                   false},
        WorkerCase{"CancelDuringSecondPage",
                   0,
                   2,
                   convert::kOk,
                   {{D, 0}, {D, 1}, {kSaveJobCancelled, 1}, {F, 1}},
                   0,
                   false},
        WorkerCase{"ConversionFails",
                   0,
                   0,
                   convert::kFail,
                   {{D, 0}, {D, 1}, {D, 2}, {D, 3}, {C, 3}, {kSaveJobConversionFailed, 0}, {F, 0}},
                   1,
                   false}),
    [](const testing::TestParamInfo<WorkerCase>& info) { return std::string(info.param.name); });

TEST(SaveWorkerEdgeTest, NoJobAndNoUsableRange) {
    testApplication();
    EXPECT_EQ(SaveWorker(nullptr), 1);

    CSaveJobOwner owner;
    SaveJob& job = owner.SaveJobRecord();
    RecordingConvertor convertor;
    convertor.SetPageRange(3, 2);
    job.convertor = &convertor;
    job.documentIndex = 0;
    job.owner = &owner;
    job.notify = &Record;
    g_seen.clear();
    EXPECT_EQ(SaveWorker(&job), 0);
    EXPECT_EQ(g_seen, (std::vector<std::pair<int, int>>{{kSaveJobConversionFailed, 0}, {F, 0}}));
    EXPECT_EQ(convertor.calls, 0);
    EXPECT_FALSE(job.converted);
}

}  // namespace
