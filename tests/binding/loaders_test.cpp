// The loaders in this process: the failure text, the process-wide set of loaders and what an
// empty loader holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/binding/applicationlibraries.h"

namespace {

TEST(LibraryFailureText, FillsTheFirstPlaceholderWithTheFileName) {
    struct Case {
        const char* format;
        const char* expected;
    };
    for (const Case& c :
         {Case{"Cannot load %s.", "Cannot load vzqtarvin.so."},
          Case{"%ls missing", "vzqtarvin.so missing"}, Case{"%S, then %s", "vzqtarvin.so, then %s"},
          Case{"100%% sure: %s", "100% sure: vzqtarvin.so"},
          Case{"No placeholder", "No placeholder"}, Case{"", ""},
          Case{"trailing %", "trailing %"}}) {
        EXPECT_EQ(FormatLibraryFailure(QString::fromUtf8(c.format), QStringLiteral("vzqtarvin.so")),
                  QString::fromUtf8(c.expected))
            << c.format;
    }
}

TEST(ApplicationLoaders, StartEmptyAndAreReachedWhileTheyExist) {
    const ApplicationLibraries* fallback = &Libraries();
    EXPECT_FALSE(fallback->httpXml.isLoaded());
    {
        ApplicationLibraries libraries;
        EXPECT_EQ(&Libraries(), &libraries);
        const HttpXmlTable& table = libraries.httpXml.table();
        const auto* bytes = reinterpret_cast<const unsigned char*>(&table);
        EXPECT_TRUE(
            std::all_of(bytes, bytes + sizeof table, [](unsigned char b) { return b == 0; }));
        EXPECT_EQ(libraries.stillImage.StiCreateInstanceW(), nullptr);
        EXPECT_EQ(libraries.searchAgent.SSAGetDetectedMFPAddrW(), nullptr);
        // Freeing empty loaders twice is harmless.
        libraries.Free();
        libraries.Free();
    }
    EXPECT_EQ(&Libraries(), fallback);
}

TEST(ApplicationLoaders, LoadOfAnEmptyOrAbsentNameFails) {
    COstrelLibrary loader;
    EXPECT_EQ(loader.Load(u""), static_cast<HRESULT>(0x80070057));
    EXPECT_EQ(loader.name(), u"");
    EXPECT_EQ(loader.Load(u"no-such-library.so"), static_cast<HRESULT>(0x8007007E));
    EXPECT_FALSE(loader.isLoaded());
    EXPECT_EQ(loader.name(), u"no-such-library.so");
    loader.Free();
    EXPECT_EQ(loader.name(), u"");
}

}  // namespace
