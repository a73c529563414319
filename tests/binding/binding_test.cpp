// The binding step of start-up, run by a probe program copied into a fresh program folder with
// the libraries each case places there (fixtures built in this folder, renamed as the case
// needs), so that finding, loading, resolving and the failure message are all the real thing.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/tempfolder.h"

namespace fs = std::filesystem;

namespace {

struct Placed {
    std::string fixture;  // fixture library built here, without ".so"
    std::string name;     // the file name it gets
};

// The six libraries of a working program folder.
std::vector<Placed> Complete() {
    return {{"fixture_transport", "tarvin.so"}, {"fixture_search", "sedrin.so"},
            {"fixture_pdf", "ostrel.so"},       {"fixture_tiff", "quilmar.so"},
            {"fixture_xml", "codec.so"},        {"fixture_still", "sti.so"}};
}

// Complete() with the file `name` replaced by `replacement` (nothing when its fixture is empty).
std::vector<Placed> CompleteWith(const std::string& name, const Placed& replacement) {
    std::vector<Placed> placed;
    for (const Placed& p : Complete()) {
        if (p.name != name) {
            placed.push_back(p);
        }
    }
    if (!replacement.fixture.empty()) {
        placed.push_back(replacement);
    }
    return placed;
}

struct Probe {
    std::map<std::string, std::string> lines;  // first word -> rest of the line
    std::vector<std::string> messages;         // "caption|text|flags"

    std::string operator[](const std::string& key) const {
        const auto it = lines.find(key);
        return it == lines.end() ? "<missing>" : it->second;
    }
};

void Copy(const std::string& fixture, const fs::path& to) {
    fs::copy_file(fs::path(BINDING_FIXTURE_DIR) / fixture, to,
                  fs::copy_options::overwrite_existing);
}

// Runs the probe in a fresh program folder holding `placed`; `onSearchPath` go into a second
// folder put on the library search path.
Probe RunProbe(const std::vector<Placed>& placed, const std::vector<Placed>& onSearchPath = {},
               const std::string& osCode = "") {
    TempFolder program("binding");
    TempFolder searchPath("binding-path");
    Copy("bindprobe", program.path() / "bindprobe");
    for (const Placed& p : placed) {
        Copy(p.fixture + ".so", program.path() / p.name);
    }
    for (const Placed& p : onSearchPath) {
        Copy(p.fixture + ".so", searchPath.path() / p.name);
    }
    const std::string messages = searchPath.file("messages.txt");
    const std::string command = "VELNOR_TEST_MESSAGES='" + messages + "' LD_LIBRARY_PATH='" +
                                searchPath.path().string() + "' '" +
                                (program.path() / "bindprobe").string() + "' " + osCode;
    Probe probe;
    std::FILE* output = ::popen(command.c_str(), "r");
    if (output == nullptr) {
        return probe;
    }
    char line[1024];
    while (std::fgets(line, sizeof line, output) != nullptr) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        const auto space = text.find(' ');
        probe.lines[text.substr(0, space)] =
            space == std::string::npos ? "" : text.substr(space + 1);
    }
    ::pclose(output);
    std::ifstream file(messages);
    for (std::string text; std::getline(file, text);) {
        probe.messages.push_back(text);
    }
    return probe;
}

std::string Failure(const std::string& fileName) {
    return "Library failure|Cannot load " + fileName + ".|0x10";
}

TEST(Binding, CompleteFolderBindsEveryLibraryAndFreesThemAll) {
    const Probe probe = RunProbe(Complete());
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["httpxml"], "1 tarvin.so");
    EXPECT_EQ(probe["search"], "1 sedrin.so");
    EXPECT_EQ(probe["ostrel"], "1 ostrel.so");
    EXPECT_EQ(probe["quilmar"], "1 quilmar.so");
    EXPECT_EQ(probe["codec"], "1 codec.so");
    EXPECT_EQ(probe["sti"], "1 sti.so");
    EXPECT_EQ(probe["specifyport"], "1");
    EXPECT_EQ(probe["table"], "1");
    EXPECT_EQ(probe["freed"], "1");
    EXPECT_TRUE(probe.messages.empty());
}

// Each failure stops the step with one message naming the file tried last; loaders bound
// before stay bound until the exit frees them, later ones are never tried.
struct FailureCase {
    const char* title;
    std::vector<Placed> placed;
    const char* result;
    const char* namedFile;
    std::map<std::string, std::string> holding;  // loader -> expected line after the step
};

class BindingFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BindingFailure, ReportsTheFailingFileAndLeavesNothingAfterExit) {
    const FailureCase& c = GetParam();
    const Probe probe = RunProbe(c.placed);
    EXPECT_EQ(probe["result"], c.result);
    ASSERT_EQ(probe.messages.size(), 1u);
    EXPECT_EQ(probe.messages[0], Failure(c.namedFile));
    for (const auto& [loader, line] : c.holding) {
        EXPECT_EQ(probe[loader], line) << loader;
    }
    EXPECT_EQ(probe["freed"], "1");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BindingFailure,
    ::testing::Values(
        // Not found under either name: the prefixed name is reported.
        FailureCase{"MissingTransport",
                    CompleteWith("tarvin.so", {}),
                    "0x8007007E",
                    "vzqtarvin.so",
                    {{"httpxml", "0 vzqtarvin.so"}, {"search", "0 "}, {"sti", "0 "}}},
        FailureCase{"TransportRefusesTable",
                    CompleteWith("tarvin.so", {"fixture_transport_refusing", "tarvin.so"}),
                    "0x80004005",
                    "tarvin.so",
                    {{"httpxml", "0 "}, {"search", "0 "}}},
        FailureCase{"PdfWriterWithoutEntryPoint",
                    CompleteWith("ostrel.so", {"fixture_bare", "ostrel.so"}),
                    "0x8007007F",
                    "ostrel.so",
                    {{"httpxml", "1 tarvin.so"},
                     {"search", "1 sedrin.so"},
                     {"ostrel", "0 "},
                     {"quilmar", "0 "}}},
        FailureCase{"SearchAgentWithoutFree",
                    CompleteWith("sedrin.so", {"fixture_bare", "sedrin.so"}),
                    "0x8007007F",
                    "sedrin.so",
                    {{"httpxml", "1 tarvin.so"}, {"search", "0 "}}},
        // The only codec-named file lacks the exports: the prefixed name is tried and reported.
        FailureCase{"NoQualifyingCodec",
                    CompleteWith("codec.so", {"fixture_bare", "codec.so"}),
                    "0x8007007E",
                    "vzqcodec.so",
                    {{"quilmar", "1 quilmar.so"}, {"codec", "0 "}, {"sti", "0 "}}},
        FailureCase{"WorkstationWithoutStillImage",
                    CompleteWith("sti.so", {}),
                    "0x8007007E",
                    "sti.so",
                    {{"codec", "1 codec.so"}, {"sti", "0 sti.so"}}},
        FailureCase{"StillImageWithoutEntryPoint",
                    CompleteWith("sti.so", {"fixture_bare", "sti.so"}),
                    "0x8007007F",
                    "sti.so",
                    {{"sti", "0 "}}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(Binding, PrefixedNameOnTheSearchPathIsBound) {
    const Probe probe =
        RunProbe(CompleteWith("tarvin.so", {}), {{"fixture_transport", "vzqtarvin.so"}});
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["httpxml"], "1 vzqtarvin.so");
    EXPECT_EQ(probe["table"], "1");
    EXPECT_TRUE(probe.messages.empty());
}

TEST(Binding, CodecSkipsAFileWithoutTheExportsForTheNextOne) {
    // Whichever of the two the folder lists first, the one with the exports is kept.
    std::vector<Placed> placed = CompleteWith("codec.so", {"fixture_xml", "xmlcodec.so"});
    placed.push_back({"fixture_bare", "oldcodec.so"});
    const Probe probe = RunProbe(placed);
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["codec"], "1 xmlcodec.so");
}

TEST(Binding, SearchAgentWithoutPortEntryPointStillBinds) {
    const Probe probe =
        RunProbe(CompleteWith("sedrin.so", {"fixture_search_without_port", "sedrin.so"}));
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["search"], "1 sedrin.so");
    EXPECT_EQ(probe["specifyport"], "0");
}

TEST(Binding, StemInCapitalLettersMatches) {
    const Probe probe = RunProbe(CompleteWith("quilmar.so", {"fixture_tiff", "QUILMAR.SO"}));
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["quilmar"], "1 QUILMAR.SO");
}

TEST(Binding, NameContainingTheStemMatches) {
    const Probe probe = RunProbe(CompleteWith("tarvin.so", {"fixture_transport", "mfp-tarvin.so"}));
    EXPECT_EQ(probe["result"], "0x00000000");
    EXPECT_EQ(probe["httpxml"], "1 mfp-tarvin.so");
}

TEST(Binding, ServerEditionLeavesStillImageUnboundEvenWithoutTheFile) {
    for (const char* code : {"0x610", "0xE10"}) {
        const Probe probe = RunProbe(CompleteWith("sti.so", {}), {}, code);
        EXPECT_EQ(probe["result"], "0x00000000") << code;
        EXPECT_EQ(probe["sti"], "0 ") << code;
        EXPECT_TRUE(probe.messages.empty()) << code;
    }
}

}  // namespace
