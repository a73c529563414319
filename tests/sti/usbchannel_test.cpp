// Raw job exchanges through the still-image service with the simulator's USB channel: the
// simulator registers its device, the service lists and opens it, and jobs, page chunks and
// misbehaviour travel as the program's USB path meets them.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <memory>
#include <string>

#include "family/sti/deviceregistry.h"
#include "tests/sti/stiservice.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "tools/mfpsim/simulatorstore.h"

namespace {

constexpr std::uint32_t kFileId = 0x1A2F3;
constexpr std::uint16_t kList = 0x60, kGetData = 0x62, kDelete = 0x64, kGetFile = 0x68;

std::string Job(const std::string& command, const std::string& storage = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOB version=\"2\"><COMMAND>" + command +
           "</COMMAND><TYPE>STORAGE</TYPE><PARAM><STORAGE>" + storage + "</STORAGE></PARAM></JOB>";
}

std::string GetFile(int page) {
    return Job("GETFILE", "<FILEID>" + std::to_string(kFileId) + "</FILEID><PAGENUMBER>" +
                              std::to_string(page) + "</PAGENUMBER>");
}

// CODE and DATASIZE of a response (-1 when absent).
struct Answer {
    long code = -1;
    long dataSize = -1;
};

Answer Parse(const std::string& body) {
    pugi::xml_document document;
    Answer answer;
    if (document.load_buffer(body.data(), body.size())) {
        const pugi::xml_node job = document.child("JOB");
        if (job.child("CODE")) {
            answer.code = job.child("CODE").text().as_llong();
        }
        if (job.child("DATASIZE")) {
            answer.dataSize = job.child("DATASIZE").text().as_llong();
        }
    }
    return answer;
}

// A page whose bytes tell their position, long enough for three chunks.
std::string PageBytes() {
    std::string bytes(2 * 65536 + 1000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
    }
    return bytes;
}

class UsbChannel : public ::testing::Test {
  protected:
    void SetUp() override {
        registry_ = folder_.file("devices.ini");
        ::setenv(sti::kRegistryVariable, registry_.c_str(), 1);
        SimulatorStore store(folder_.path() / "store");
        ASSERT_TRUE(store.setDeviceName("Test MFP"));
        ASSERT_TRUE(store.addBox({1, "Scans", 1, ""}));
        StoredDocument document;
        document.fileId = kFileId;
        document.folderId = 1;
        document.fileName = "0001";
        document.timestamp = "2012/03/01 10:00:00";
        document.imageFormat = 1;
        document.pages = 1;
        document.xPixel = 100;
        document.yPixel = 100;
        document.xResolution = 300;
        document.yResolution = 300;
        ASSERT_TRUE(store.addDocument(document, {PageBytes()}));
        ASSERT_TRUE(service_.ready());
    }
    void TearDown() override { ::unsetenv(sti::kRegistryVariable); }

    void StartSimulator(std::vector<std::string> misbehave = {}) {
        simulator_ = std::make_unique<SimulatorProcess>(SimulatorOptions{
            .store = folder_.path() / "store",
            .misbehave = std::move(misbehave),
            .extraArgs = {"--usb-socket", folder_.file("mfp.sock"), "--usb-registry", registry_,
                          "--usb-name", "{IMAGE}\\0007"}});
        ASSERT_TRUE(simulator_->running()) << simulator_->error();
        EXPECT_EQ(simulator_->announcements().at("usb-name"), "{IMAGE}\\0007");
    }

    // Opens the simulator's device the way the program does.
    IStiDevice* Open() {
        IStiDevice* device = nullptr;
        EXPECT_EQ(
            service_->CreateDevice(u"{IMAGE}\\0007", sti::kModeStatusAndData, &device, nullptr),
            sti::kOk);
        return device;
    }

    TempFolder folder_{"usb"};
    std::string registry_;
    StiService service_;
    std::unique_ptr<SimulatorProcess> simulator_;
};

TEST_F(UsbChannel, SimulatorIsListedWhileItRunsWithTheMakersVendorId) {
    StartSimulator();
    std::uint32_t count = 0;
    void* buffer = nullptr;
    ASSERT_EQ(service_->GetDeviceList(0, 0, &count, &buffer), sti::kOk);
    ASSERT_EQ(count, 1u);
    const auto* record = static_cast<const STI_DEVICE_INFORMATIONW*>(buffer);
    EXPECT_EQ(std::u16string(record->szDeviceInternalName), u"{IMAGE}\\0007");
    EXPECT_EQ(std::u16string(record->pszDeviceDescription), u"Test MFP (USB)");
    char16_t id[1024];
    std::uint32_t size = sizeof id;
    ASSERT_EQ(service_->GetDeviceValue(record->szDeviceInternalName, u"MatchingDeviceId", nullptr,
                                       id, &size),
              sti::kOk);
    EXPECT_NE(std::u16string(id).find(u"vid_0f1d"), std::u16string::npos);

    simulator_->stop();
    ASSERT_EQ(service_->GetDeviceList(0, 0, &count, &buffer), sti::kOk);
    EXPECT_EQ(count, 0u);
}

TEST_F(UsbChannel, ListJobIsAnsweredWithItsLengthAndLogged) {
    StartSimulator();
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->LockDevice(1000), sti::kOk);
    const RawExchange exchange = ExchangeRaw(device, kList, Job("LIST"));
    ASSERT_EQ(exchange.result, sti::kOk);
    EXPECT_EQ(exchange.body.size(), exchange.length);
    EXPECT_EQ(Parse(exchange.body).code, 600);
    EXPECT_NE(exchange.body.find("<FOLDERNAME>Scans</FOLDERNAME>"), std::string::npos);
    device->UnLockDevice();
    device->Release();

    const auto requests = simulator_->requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].channel, "usb");
    EXPECT_EQ(requests[0].command, "LIST");
    EXPECT_EQ(requests[0].body, Job("LIST"));
}

TEST_F(UsbChannel, PageComesInAnnouncedChunksEndingWith603) {
    StartSimulator();
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(Parse(ExchangeRaw(device, kGetFile, GetFile(1)).body).code, 600);
    std::string page;
    std::vector<long> codes;
    for (int round = 0; round < 10; ++round) {
        const RawExchange exchange = ExchangeRaw(device, kGetData, Job("GETDATA"));
        ASSERT_EQ(exchange.result, sti::kOk);
        const Answer answer = Parse(exchange.body);
        codes.push_back(answer.code);
        ASSERT_GE(answer.dataSize, 0);
        std::string chunk(static_cast<size_t>(answer.dataSize), '\0');
        std::uint32_t count = static_cast<std::uint32_t>(chunk.size());
        ASSERT_EQ(device->RawReadData(chunk.data(), &count, nullptr), sti::kOk);
        page += chunk;
        if (answer.code != 600) {
            break;
        }
    }
    EXPECT_EQ(codes, (std::vector<long>{600, 600, 603}));
    EXPECT_TRUE(page == PageBytes());
    // The page is done: another GETDATA has nothing selected.
    EXPECT_EQ(Parse(ExchangeRaw(device, kGetData, Job("GETDATA")).body).code, 808);
    device->Release();
}

TEST_F(UsbChannel, MissingPageIsRefusedBeforeAnyData) {
    StartSimulator();
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(Parse(ExchangeRaw(device, kGetFile, GetFile(2)).body).code, 808);
    device->Release();
}

TEST_F(UsbChannel, ChannelDroppedMidChunkFailsTheRead) {
    StartSimulator({"drop:GETDATA"});
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(Parse(ExchangeRaw(device, kGetFile, GetFile(1)).body).code, 600);
    const RawExchange exchange = ExchangeRaw(device, kGetData, Job("GETDATA"));
    ASSERT_EQ(exchange.result, sti::kOk);
    const Answer answer = Parse(exchange.body);
    ASSERT_EQ(answer.dataSize, 65536);
    std::string chunk(65536, '\0');
    std::uint32_t count = 65536;
    EXPECT_EQ(device->RawReadData(chunk.data(), &count, nullptr), sti::kEndOfData);
    EXPECT_EQ(count, 32768u);
    device->Release();
}

TEST_F(UsbChannel, AnswersThatAreNoJobComeAsLengthZero) {
    StartSimulator({"status:LIST:500"});
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    // A refused job and a command frame that is no job document (the fallback block).
    const RawExchange refused = ExchangeRaw(device, kList, Job("LIST"));
    EXPECT_EQ(refused.result, sti::kOk);
    EXPECT_EQ(refused.length, 0u);
    const RawExchange block = ExchangeRaw(device, kList, std::string(12, '\x01'), false);
    EXPECT_EQ(block.result, sti::kOk);
    EXPECT_EQ(block.length, 0u);
    device->Release();
}

TEST_F(UsbChannel, CommandCodeThatDoesNotFitTheJobIsRefusedWithoutRunningIt) {
    StartSimulator();
    IStiDevice* device = Open();
    ASSERT_NE(device, nullptr);
    const std::string remove = Job("DELETE", "<FILEID>" + std::to_string(kFileId) + "</FILEID>");
    EXPECT_EQ(Parse(ExchangeRaw(device, kList, remove).body).code, 801);
    EXPECT_EQ(Parse(ExchangeRaw(device, kDelete, remove, false).body).code, 801);
    EXPECT_TRUE(SimulatorStore(folder_.path() / "store").findDocument(kFileId).has_value());
    EXPECT_TRUE(simulator_->requests().empty());
    EXPECT_EQ(Parse(ExchangeRaw(device, kDelete, remove).body).code, 600);
    EXPECT_FALSE(SimulatorStore(folder_.path() / "store").findDocument(kFileId).has_value());
    device->Release();
}

}  // namespace
