// The transport against the device simulator on a loopback port: job round trips, page
// downloads, and every way a device can fail a transfer.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "tests/transport/transporttable.h"
#include "tools/mfpsim/simulatorstore.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kFileId = 0x0001A2F3;

std::string randomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A store with two boxes and one colour document of three pages.
void fillStore(const fs::path& root) {
    SimulatorStore store(root);
    ASSERT_TRUE(store.setDeviceName("Test MFP"));
    ASSERT_TRUE(store.addBox({1, "Scans", 0x01, ""}));
    ASSERT_TRUE(store.addBox({7, "Secret & <Co>", 0x11, "1234"}));
    StoredDocument document;
    document.fileId = kFileId;
    document.folderId = 1;
    document.fileName = "0001";
    document.timestamp = "2012/03/01 10:00:00";
    document.imageFormat = 1;
    ASSERT_TRUE(store.addDocument(
        document, {randomBytes(1000, 1), randomBytes(2000, 2), randomBytes(300000, 3)}));
}

class TransportSimulatorTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Keep stalls short; the transport reads these at every transfer.
        ::setenv("VELNOR_TRANSPORT_STALL_SECONDS", "2", 1);
        ::setenv("VELNOR_TRANSPORT_JOB_SECONDS", "4", 1);
        ::setenv("VELNOR_TRANSPORT_CONNECT_SECONDS", "2", 1);
    }

    void SetUp() override {
        ASSERT_TRUE(transport.bound());
        fillStore(store.path());
    }

    void start(std::vector<std::string> misbehave = {}) {
        sim = std::make_unique<SimulatorProcess>(
            SimulatorOptions{store.path(), false, std::move(misbehave), {}});
        ASSERT_TRUE(sim->running()) << sim->error();
    }

    // The network job frame of the device access layer with a box-list request.
    int postBoxList(JobDocument* job) {
        transport->setJobAttribute(job, "version", "2");
        Connection* connection = transport->openConnection(sim->host().c_str());
        if (transport->openElement(job, kElemJob)) {
            transport->addTextElement(job, kElemCommand, "LIST");
            transport->addTextElement(job, kElemType, kJobTypeStorage);
            if (transport->openElement(job, kElemParam)) {
                if (transport->openElement(job, kElemStorage)) {
                    transport->closeElement(job);
                }
                transport->closeElement(job);
            }
            transport->closeElement(job);
        }
        const int result = transport->postJob(connection, sim->port(), kJobPath, job);
        transport->closeConnection(connection);
        return result;
    }

    int download(std::uint32_t fileId, int page, const std::string& filePath) {
        ScopedJob job(transport);
        Connection* connection = transport->openConnection(sim->host().c_str());
        char id[16];
        std::snprintf(id, sizeof id, "%08X", fileId);
        transport->setJobAttribute(job.get(), "FileID", id);
        transport->setJobAttribute(job.get(), "PageNumber", std::to_string(page).c_str());
        const int result = transport->downloadToFile(connection, sim->port(), kPageDownloadPath,
                                                     job.get(), filePath.c_str(), 0);
        transport->closeConnection(connection);
        return result;
    }

    TransportTable transport;
    TempFolder store{"store"};
    TempFolder work{"work"};
    std::unique_ptr<SimulatorProcess> sim;
};

TEST_F(TransportSimulatorTest, BoxListRoundTripWalksEveryNode) {
    start();
    ScopedJob job(transport);
    ASSERT_EQ(postBoxList(job.get()), 1);

    std::vector<std::pair<int, std::string>> seen;
    for (JobNode* node = transport->firstNode(job.get(), kAnyElement); node != nullptr;
         node = transport->nextNode(job.get(), kAnyElement)) {
        seen.emplace_back(transport->nodeElementId(node), transport->nodeText(node));
    }
    const std::vector<std::pair<int, std::string>> expected = {{kElemJob, ""},
                                                               {kElemCode, "600"},
                                                               {kElemRootName, "Test MFP"},
                                                               {kElemFolder, ""},
                                                               {kElemFolderId, "1"},
                                                               {kElemFolderName, "Scans"},
                                                               {kElemAttribute, "1"},
                                                               {kElemFolder, ""},
                                                               {kElemFolderId, "7"},
                                                               {kElemFolderName, "Secret & <Co>"},
                                                               {kElemAttribute, "17"}};
    EXPECT_EQ(seen, expected);

    const auto requests = sim->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/ScanBox.cgi");
    EXPECT_EQ(requests[0].command, "LIST");
    EXPECT_EQ(requests[0].body,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><JOB version=\"2\"><COMMAND>LIST</COMMAND>"
              "<TYPE>STORAGE</TYPE><PARAM><STORAGE/></PARAM></JOB>");
}

TEST_F(TransportSimulatorTest, PageDownloadLandsByteIdentical) {
    start();
    const std::string target = work.file("0001A2F3_3.jpg");
    ASSERT_EQ(download(kFileId, 3, target), 1);
    EXPECT_EQ(readFile(target), randomBytes(300000, 3));
    // Nothing but the page is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1);

    const auto requests = sim->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/loadimg.cgi?FileID=0001A2F3&PageNumber=3");

    // A second download of the same page replaces the file.
    ASSERT_EQ(download(kFileId, 3, target), 1);
    EXPECT_EQ(fs::file_size(target), 300000u);
}

struct DownloadFailure {
    const char* name;
    std::vector<std::string> misbehave;
    std::uint32_t fileId;
    int page;
};

class DownloadFailureTest : public TransportSimulatorTest,
                            public ::testing::WithParamInterface<DownloadFailure> {};

TEST_P(DownloadFailureTest, FailsInTimeAndLeavesNoFile) {
    start(GetParam().misbehave);
    const std::string target = work.file("page.jpg");
    {
        std::ofstream old(target);
        old << "an older page";
    }
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(download(GetParam().fileId, GetParam().page, target), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    EXPECT_TRUE(fs::is_empty(work.path())) << "no page, no temporary file";
    EXPECT_EQ(sim->requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Misbehaviours, DownloadFailureTest,
    ::testing::Values(DownloadFailure{"BodyCutHalfWay", {"drop:loadimg"}, kFileId, 3},
                      DownloadFailure{"Stalled", {"stall:loadimg:30"}, kFileId, 3},
                      DownloadFailure{"ServerError", {"status:loadimg:500"}, kFileId, 1},
                      DownloadFailure{"LengthNotAnnounced", {"unsized:loadimg"}, kFileId, 2},
                      DownloadFailure{"MissingPage", {}, kFileId, 4},
                      DownloadFailure{"MissingDocument", {}, 0x0BADF00D, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct JobFailure {
    const char* name;
    std::vector<std::string> misbehave;
};

class JobFailureTest : public TransportSimulatorTest,
                       public ::testing::WithParamInterface<JobFailure> {};

TEST_P(JobFailureTest, FailsInTimeWithNothingToWalk) {
    start(GetParam().misbehave);
    ScopedJob job(transport);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(postBoxList(job.get()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    EXPECT_EQ(transport->firstNode(job.get(), kAnyElement), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Misbehaviours, JobFailureTest,
                         ::testing::Values(JobFailure{"Malformed", {"malformed:LIST"}},
                                           JobFailure{"BodyCutHalfWay", {"drop:scanbox"}},
                                           JobFailure{"Stalled", {"stall:all:30"}},
                                           JobFailure{"ServerError", {"status:LIST:503"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransportSimulatorTest, RefusalCodeIsAnAnswerNotATransportFailure) {
    start({"refuse:LIST:807"});
    ScopedJob job(transport);
    ASSERT_EQ(postBoxList(job.get()), 1);
    JobNode* code = transport->firstNode(job.get(), kElemCode);
    ASSERT_NE(code, nullptr);
    std::int32_t value = 0;
    ASSERT_TRUE(transport->nodeNumber(code, &value));
    EXPECT_EQ(value, 807);
}

TEST_F(TransportSimulatorTest, NothingIsSentWithoutAConnectionOrFilePath) {
    start();
    ScopedJob job(transport);
    transport->addTextElement(job.get(), kElemJob, "");
    EXPECT_EQ(transport->postJob(nullptr, sim->port(), kJobPath, job.get()), 0);
    EXPECT_EQ(transport->downloadToFile(nullptr, sim->port(), kPageDownloadPath, job.get(),
                                        work.file("x.jpg").c_str(), 0),
              0);
    Connection* connection = transport->openConnection(sim->host().c_str());
    EXPECT_EQ(
        transport->downloadToFile(connection, sim->port(), kPageDownloadPath, job.get(), "", 0), 0);
    transport->closeConnection(connection);
    EXPECT_TRUE(sim->requests().empty());
}

TEST_F(TransportSimulatorTest, ClosedPortFailsAtOnce) {
    start();
    const std::uint16_t port = sim->port();
    sim->stop();
    ScopedJob job(transport);
    Connection* connection = transport->openConnection("127.0.0.1");
    transport->addTextElement(job.get(), kElemJob, "");
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(transport->postJob(connection, port, kJobPath, job.get()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
    transport->closeConnection(connection);
}

}  // namespace
