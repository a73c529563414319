// The simulator as a process: the demo store, the admin endpoint and the request log, through
// the test support every device test uses.

#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <iterator>
#include <set>

#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "tools/mfpsim/simulatorstore.h"

namespace {

std::string post(const SimulatorProcess& sim, const std::string& body) {
    httplib::Client client(sim.host(), sim.port());
    client.set_read_timeout(10);
    const auto result = client.Post("/ScanBox.cgi", body, "text/xml; charset=utf-8");
    return result && result->status == 200 ? result->body : std::string("<no answer>");
}

std::string readHead(const std::filesystem::path& path, size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<size_t>(in.gcount()));
    return head;
}

TEST(SimulatorProcessTest, DemoStoreHoldsBoxesAndReadablePagesOfBothKinds) {
    TempFolder store("demo");
    SimulatorProcess sim({store.path(), true, {}, {}});
    ASSERT_TRUE(sim.running()) << sim.error();
    EXPECT_NE(sim.port(), 0);
    EXPECT_EQ(sim.announcements().count("http-port"), 1u);

    SimulatorStore demo(store.path());
    const auto boxes = demo.boxes();
    ASSERT_GE(boxes.size(), 3u);
    int protectedBoxes = 0;
    int colour = 0;
    int mono = 0;
    std::set<std::string> timestamps;
    for (const StoredBox& box : boxes) {
        protectedBoxes += (box.attribute & 0x10) ? 1 : 0;
        for (const StoredDocument& document : demo.documents(box.folderId)) {
            (document.imageFormat == 1 ? colour : mono) += 1;
            timestamps.insert(document.timestamp);
            EXPECT_GT(document.xPixel, 1000);
            EXPECT_EQ(document.xResolution, 200);
            for (int page = 1; page <= document.pages; ++page) {
                const std::string head = readHead(demo.pagePath(document, page), 4);
                if (document.imageFormat == 1) {
                    EXPECT_EQ(head.substr(0, 3), "\xFF\xD8\xFF") << "a JPEG file";
                } else {
                    EXPECT_EQ(head, std::string("MM\0*", 4)) << "a big-endian TIFF file";
                }
            }
        }
    }
    EXPECT_EQ(protectedBoxes, 1);
    EXPECT_GE(colour, 2);
    EXPECT_GE(mono, 2);
    EXPECT_EQ(timestamps.size(), static_cast<size_t>(colour + mono));

    // Seeding again keeps what the store holds.
    ASSERT_TRUE(demo.deleteDocument(0x0001A2F3));
    sim.stop();
    SimulatorProcess again({store.path(), true, {}, {}});
    ASSERT_TRUE(again.running()) << again.error();
    EXPECT_FALSE(demo.findDocument(0x0001A2F3));
}

TEST(SimulatorProcessTest, AdminEndpointChangesBehaviourAndIsNotLogged) {
    TempFolder store("admin");
    SimulatorStore(store.path()).addBox({1, "Box", 1, ""});
    SimulatorProcess sim({store.path(), false, {"refuse:LIST:807"}, {}});
    ASSERT_TRUE(sim.running()) << sim.error();
    const std::string list =
        "<JOB "
        "version=\"2\"><COMMAND>LIST</COMMAND><TYPE>STORAGE</TYPE><PARAM><STORAGE/></PARAM></JOB>";
    EXPECT_NE(post(sim, list).find("<CODE>807</CODE>"), std::string::npos);

    ASSERT_TRUE(sim.setMisbehaviour({}));
    EXPECT_NE(post(sim, list).find("<CODE>600</CODE>"), std::string::npos);
    EXPECT_FALSE(sim.setMisbehaviour({"no such rule"}));

    const auto requests = sim.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].command, "LIST");
    EXPECT_EQ(requests[1].body, list);
    sim.clearRequests();
    EXPECT_TRUE(sim.requests().empty());
}

TEST(SimulatorProcessTest, BadCommandLineIsReportedNotHung) {
    TempFolder store("bad");
    SimulatorProcess sim({store.path(), false, {"explode:all"}, {}});
    EXPECT_FALSE(sim.running());
    EXPECT_FALSE(sim.error().empty());
}

}  // namespace
