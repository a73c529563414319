// The transport's job documents without a network: building and encoding requests, parsing
// responses and walking them node by node.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/transport/transporttable.h"

namespace {

class JobDocumentTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(transport.bound()); }

    std::string encode(JobDocument* job) {
        if (!transport->encodeJobRequest(job, 0, kJobPath, 0)) {
            return "<not encoded>";
        }
        const std::uint32_t size = transport->encodedJobSize(job);
        std::string bytes(size, '\0');
        std::uint32_t written = 0;
        if (!transport->copyEncodedJob(job, bytes.data(), size, &written) || written != size) {
            return "<not copied>";
        }
        return bytes;
    }

    bool decode(JobDocument* job, const std::string& text) {
        return transport->decodeJobResponse(job, text.data(),
                                            static_cast<std::uint32_t>(text.size())) != 0;
    }

    // The ids and texts of the walk, "ID:text" each.
    std::vector<std::string> walk(JobDocument* job) {
        std::vector<std::string> seen;
        for (JobNode* node = transport->firstNode(job, kAnyElement); node != nullptr;
             node = transport->nextNode(job, kAnyElement)) {
            seen.push_back(std::to_string(transport->nodeElementId(node)) + ":" +
                           transport->nodeText(node));
        }
        return seen;
    }

    TransportTable transport;
};

TEST_F(JobDocumentTest, TableFillsTheSlotsTheProgramCallsAndNoOthers) {
    HttpXmlTable table{};
    EXPECT_EQ(transport.getHttpXml(&table, 224), kHttpXmlTableBytes == 224 ? 1 : 0);
    EXPECT_EQ(transport.getHttpXml(&table, kHttpXmlTableBytes - 1), 0);
    EXPECT_EQ(transport.getHttpXml(nullptr, kHttpXmlTableBytes), 0);

    void* slots[kHttpXmlSlotCount];
    std::memcpy(slots, &transport.table, sizeof slots);
    const std::vector<int> used = {0,  1,  2,  4,  7,  9,  10, 13, 14, 15, 16, 17, 18,
                                   19, 20, 24, 26, 27, 28, 32, 33, 35, 36, 39, 40};
    for (int slot = 0; slot < kHttpXmlSlotCount; ++slot) {
        const bool isUsed = std::find(used.begin(), used.end(), slot) != used.end();
        EXPECT_EQ(slots[slot] != nullptr, isUsed) << "slot " << slot;
    }
}

TEST_F(JobDocumentTest, RequestEncodesAttributesOnTheRootAndEscapesText) {
    ScopedJob job(transport);
    ASSERT_TRUE(transport->setJobAttribute(job.get(), "version", "2"));
    ASSERT_TRUE(transport->openElement(job.get(), kElemJob));
    ASSERT_TRUE(transport->addTextElement(job.get(), kElemCommand, "LIST"));
    ASSERT_TRUE(transport->openElement(job.get(), kElemParam));
    ASSERT_TRUE(transport->openElement(job.get(), kElemStorage));
    ASSERT_TRUE(transport->addTextElement(job.get(), kElemPassword,
                                          "a<&>\"'\x01"
                                          "b"));
    ASSERT_TRUE(
        transport->addNumberElementEx(job.get(), kElemFolderId, 4294967295u, kUnsignedNumberWidth));
    ASSERT_TRUE(transport->addNumberElement(job.get(), kElemPage, -7));
    ASSERT_TRUE(transport->closeElement(job.get()));
    ASSERT_TRUE(transport->closeElement(job.get()));
    ASSERT_TRUE(transport->closeElement(job.get()));
    EXPECT_FALSE(transport->closeElement(job.get()));

    EXPECT_EQ(encode(job.get()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><JOB version=\"2\"><COMMAND>LIST</COMMAND>"
              "<PARAM><STORAGE><PASSWORD>a&lt;&amp;&gt;\"'&#01;b</PASSWORD><FOLDERID>4294967295</"
              "FOLDERID>"
              "<PAGE>-7</PAGE></STORAGE></PARAM></JOB>");

    // The device's own parser gets the password back unchanged.
    ScopedJob echo(transport);
    ASSERT_TRUE(decode(echo.get(), encode(job.get())));
    EXPECT_EQ(walk(echo.get()), (std::vector<std::string>{"0:", "1:LIST", "3:", "47:",
                                                          "7:a<&>\"'\x01"
                                                          "b",
                                                          "6:4294967295", "28:-7"}));
}

TEST_F(JobDocumentTest, RefusesWhatWouldMakeAnUnusableDocument) {
    ScopedJob job(transport);
    EXPECT_FALSE(transport->setJobAttribute(job.get(), "bad name", "x"));
    EXPECT_FALSE(transport->setJobAttribute(job.get(), "1st", "x"));
    EXPECT_FALSE(transport->openElement(job.get(), -1));
    EXPECT_FALSE(transport->openElement(job.get(), kElementCount));
    EXPECT_FALSE(transport->encodeJobRequest(job.get(), 0, kJobPath, 0)) << "no root yet";
    EXPECT_EQ(transport->encodedJobSize(job.get()), 0u);
    ASSERT_TRUE(transport->addTextElement(job.get(), kElemJob, ""));
    EXPECT_FALSE(transport->openElement(job.get(), kElemJob)) << "a second root";
    ASSERT_TRUE(transport->encodeJobRequest(job.get(), 0, kJobPath, 0));

    char small[8];
    std::uint32_t written = 99;
    EXPECT_FALSE(transport->copyEncodedJob(job.get(), small, sizeof small, &written));
    EXPECT_EQ(written, 0u);

    EXPECT_EQ(transport->newJob(nullptr), nullptr);
    EXPECT_EQ(transport->openConnection(nullptr), nullptr);
    EXPECT_EQ(transport->openConnection(""), nullptr);
    EXPECT_EQ(transport->openConnection("host/evil?x"), nullptr);
}

TEST_F(JobDocumentTest, WalkVisitsEveryElementOnceInStartTagOrder) {
    ScopedJob job(transport);
    ASSERT_TRUE(
        decode(job.get(),
               "<?xml version=\"1.0\"?><JOB><CODE>600</CODE><FOLDER><FOLDERID>1</FOLDERID>"
               "<PARAM><STORAGE><PAGE>5</PAGE></STORAGE><UNKNOWN>u</UNKNOWN></PARAM>"
               "<FOLDERNAME>A&amp;B</FOLDERNAME></FOLDER><FILE/><ROOTNAME> x </ROOTNAME></JOB>"));
    EXPECT_EQ(walk(job.get()),
              (std::vector<std::string>{"0:", "4:600", "36:", "6:1", "3:", "47:", "28:5", "-1:u",
                                        "8:A&B", "35:", "39: x "}));
    // After the last node the walk stays at its end; FirstNode starts it again.
    EXPECT_EQ(transport->nextNode(job.get(), kAnyElement), nullptr);
    ASSERT_NE(transport->firstNode(job.get(), kAnyElement), nullptr);
    EXPECT_EQ(transport->nodeElementId(transport->firstNode(job.get(), kAnyElement)), kElemJob);

    EXPECT_FALSE(transport->encodeJobRequest(job.get(), 0, kJobPath, 0))
        << "a response is not sent back as a request";

    transport->clearJob(job.get());
    EXPECT_EQ(transport->firstNode(job.get(), kAnyElement), nullptr);
    ASSERT_TRUE(transport->addTextElement(job.get(), kElemJob, ""));
    EXPECT_TRUE(transport->encodeJobRequest(job.get(), 0, kJobPath, 0));
}

TEST_F(JobDocumentTest, MalformedOrOversizedResponsesLeaveNothingToWalk) {
    const std::vector<std::string> bad = {
        "",
        "<JOB><CODE>600</CODE>",
        "<JOB><CODE>600</FILE></JOB>",
        "<JOB/><JOB/>",
        "just text",
        "<JOB>" + std::string(5u << 20, 'x') + "</JOB>",
    };
    for (const std::string& text : bad) {
        ScopedJob job(transport);
        ASSERT_TRUE(decode(job.get(), "<JOB><CODE>600</CODE></JOB>"));
        EXPECT_FALSE(decode(job.get(), text)) << text.substr(0, 40);
        EXPECT_EQ(transport->firstNode(job.get(), kAnyElement), nullptr) << text.substr(0, 40);
    }
}

struct NumberCase {
    const char* text;
    bool signedOk;
    std::int32_t signedValue;
    bool unsignedOk;
    std::uint32_t unsignedValue;
};

TEST_F(JobDocumentTest, NodeNumbersReadDecimalInRangeOnly) {
    const NumberCase cases[] = {
        {"600", true, 600, true, 600},
        {" 42\n", true, 42, true, 42},
        {"-1", true, -1, false, 0},
        {"2147483647", true, 2147483647, true, 2147483647u},
        {"2147483648", false, 0, true, 2147483648u},
        {"-2147483648", true, INT32_MIN, false, 0},
        {"4294967295", false, 0, true, 4294967295u},
        {"4294967296", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"12a", false, 0, false, 0},
        {"0x10", false, 0, false, 0},
        {"1 2", false, 0, false, 0},
    };
    for (const NumberCase& c : cases) {
        ScopedJob job(transport);
        ASSERT_TRUE(decode(job.get(), std::string("<CODE>") + c.text + "</CODE>"));
        JobNode* node = transport->firstNode(job.get(), kAnyElement);
        ASSERT_NE(node, nullptr);
        std::int32_t s = 12345;
        std::uint32_t u = 12345;
        EXPECT_EQ(transport->nodeNumber(node, &s) != 0, c.signedOk) << c.text;
        EXPECT_EQ(s, c.signedOk ? c.signedValue : 12345) << c.text;
        EXPECT_EQ(transport->nodeNumberEx(node, &u) != 0, c.unsignedOk) << c.text;
        EXPECT_EQ(u, c.unsignedOk ? c.unsignedValue : 12345u) << c.text;
    }
}

TEST_F(JobDocumentTest, CommandCodeTravelsWithTheDocumentUntilCleared) {
    ScopedJob job(transport);
    ASSERT_TRUE(transport->setCommandCode(job.get(), 0x10065));
    EXPECT_EQ(transport->getCommandCode(job.get()) & 0xFFFF, 0x65u);
    transport->clearJob(job.get());
    EXPECT_EQ(transport->getCommandCode(job.get()), 0u);
}

}  // namespace
