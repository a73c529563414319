// ListBoxes and the box table lookups, over the network path against a scripted device.

#include <gtest/gtest.h>

#include "device/deviceaccess.h"
#include "tests/device/networkfixture.h"

namespace {

struct BoxListCase {
    const char* name;
    std::string response;  // inside <JOB>
    int result;
    int count;
    QStringList names;
};

class BoxListResponseTest : public ScriptedNetworkTest,
                            public testing::WithParamInterface<BoxListCase> {};

TEST_P(BoxListResponseTest, WalksResponseIntoTable) {
    const BoxListCase& boxCase = GetParam();
    device.answerJob(JobResponse(boxCase.response));
    QStringList names{"left over"};

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), boxCase.result);

    EXPECT_EQ(NetworkBoxTable().count, boxCase.count);
    EXPECT_EQ(names, boxCase.names);
    ASSERT_EQ(device.requests().size(), 1u);
    const std::string body = device.requests()[0].body;
    EXPECT_NE(body.find("version=\"2\""), std::string::npos) << body;
    EXPECT_NE(body.find("<COMMAND>LIST</COMMAND><TYPE>STORAGE</TYPE><PARAM><STORAGE/></PARAM>"),
              std::string::npos)
        << body;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxListResponseTest,
    testing::Values(
        BoxListCase{"OnlyCode600", "<CODE>600</CODE>", 1, 1, {"127.0.0.1"}},
        BoxListCase{"RefusedAfterTwoFolders",
                    FolderElement(1, "Scans", 1) + FolderElement(2, "Finance", 17) +
                        "<CODE>807</CODE>" + FolderElement(3, "Never", 1),
                    807,
                    3,
                    {"127.0.0.1", "Scans", "Finance"}},
        BoxListCase{"RootNameReplacesAddress",
                    "<CODE>600</CODE><ROOTNAME>Office MFP</ROOTNAME>" + FolderElement(4, "A", 1),
                    1,
                    2,
                    {"Office MFP", "A"}},
        // Names are cut to 16 UTF-16 units, never in the middle of a surrogate pair.
        BoxListCase{"LongNamesCut",
                    "<CODE>600</CODE>" + FolderElement(1, "ABCDEFGHIJKLMNOPQRST", 1) +
                        FolderElement(2,
                                      "\xC3\x84\xC3\x96\xC3\x9C"
                                      "abcdefghijklmnopq",
                                      1) +
                        FolderElement(3, "123456789012345\xF0\x9F\x98\x80", 1),
                    1,
                    4,
                    {"127.0.0.1", "ABCDEFGHIJKLMNOP", QString::fromUtf8("ÄÖÜabcdefghijklm"),
                     "123456789012345"}},
        BoxListCase{"NoCodeStillCounts", FolderElement(9, "X", 1), 1, 2, {"127.0.0.1", "X"}}),
    [](const testing::TestParamInfo<BoxListCase>& info) { return info.param.name; });

TEST_F(ScriptedNetworkTest, MoreFoldersThanTheTableHoldsStopAtTheFull) {
    std::string response = "<CODE>600</CODE>";
    for (unsigned i = 1; i <= 130; ++i) {
        response += FolderElement(i, "Box" + std::to_string(i), 1);
    }
    device.answerJob(JobResponse(response));
    QStringList names;

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);

    const BoxTable& table = NetworkBoxTable();
    ASSERT_EQ(table.count, 128);
    EXPECT_EQ(names.size(), 128);
    EXPECT_EQ(table.entries[1].folderId, 1u);
    EXPECT_EQ(table.entries[127].folderId, 127u);
    EXPECT_EQ(names[127], "Box127");
}

TEST_F(ScriptedNetworkTest, NoResponseLeavesAnEmptyTable) {
    mfp.httpPortNumber = 1;  // nothing listens there
    QStringList names{"left over"};

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 0);

    EXPECT_EQ(NetworkBoxTable().count, 0);
    EXPECT_TRUE(names.isEmpty());
}

TEST_F(ScriptedNetworkTest, MalformedResponseIsNoResponse) {
    device.answerJob("<JOB><CODE>600</CODE>");
    QStringList names;

    EXPECT_EQ(DeviceAccess::ListBoxes(mfp, names), 0);
    EXPECT_EQ(NetworkBoxTable().count, 0);
}

TEST_F(ScriptedNetworkTest, LookupsFollowTheTreeKeys) {
    ListBoxesFrom("<CODE>600</CODE>" + FolderElement(5, "Open", 1) +
                  FolderElement(6, "Locked", 0x11));
    BoxTable& table = NetworkBoxTable();
    table.entries[0].treeKey = 100;
    table.entries[1].treeKey = 101;
    table.entries[2].treeKey = 102;

    EXPECT_EQ(DeviceAccess::FindBoxIndex(mfp, 0), 0);
    EXPECT_EQ(DeviceAccess::FindBoxIndex(mfp, 102), 2);
    EXPECT_EQ(DeviceAccess::FindBoxIndex(mfp, 999), -1);
    EXPECT_TRUE(DeviceAccess::BoxNeedsPassword(mfp, 102));
    EXPECT_FALSE(DeviceAccess::BoxNeedsPassword(mfp, 101));
    EXPECT_FALSE(DeviceAccess::BoxNeedsPassword(mfp, 999));
    EXPECT_EQ(DeviceAccess::BoxName(mfp, 1), "Open");
    EXPECT_EQ(DeviceAccess::BoxName(mfp, 3), QString());
    EXPECT_EQ(DeviceAccess::BoxName(mfp, -1), QString());
    QStringList names{"before"};
    DeviceAccess::CurrentBoxNames(mfp, names);
    EXPECT_EQ(names, (QStringList{"before", "127.0.0.1", "Open", "Locked"}));
    EXPECT_EQ(device.requests().size(), 1u);  // the lookups sent nothing

    // The USB pair of tables is a different one.
    MFPInfo usb = mfp;
    usb.isUSB = 1;
    EXPECT_EQ(DeviceAccess::FindBoxIndex(usb, 102), -1);
}

}  // namespace
