#include "app/texts/languagefile.h"

#include <QFontDatabase>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/dialogframe/qtapp.h"
#include "tools/lrcbuild/lrcsource.h"

namespace {

const std::string kFixtures = std::string(VELNOR_TEST_DATA_DIR) + "/fixtures/";

bool anyCharacterSet(uint32_t) {
    return true;
}

// A language file built by lrcbuild's writer: one string section, entries in this order.
std::vector<uint8_t> builtFile(std::vector<LrcEntry> entries = {{21005, 0, 0, 0, u"Oops"},
                                                                {21006, 0, 0, 0, u"Page"}}) {
    LrcSource source;
    source.version = {2, 1, 0, 7};
    source.entries = std::move(entries);
    LrcBuildResult built = BuildLanguageFile(source);
    EXPECT_TRUE(built.ok) << built.message;
    return built.bytes;
}

void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void putU16(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Offsets in builtFile(): header 152, string section header 28, first entry at 180.
constexpr std::size_t kSection = 152;
constexpr std::size_t kEntry = 180;

class LanguageFileTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testApplication(); }
};

TEST_F(LanguageFileTest, HandMadeFileIsReadWithBuiltTexts) {
    LanguageFileLoad load = LanguageFile::open(kFixtures + "valid.lrc");
    ASSERT_EQ(load.status, LanguageFileStatus::kOk) << "at offset " << load.offset;
    LanguageFile& file = *load.file;
    EXPECT_EQ(file.versionText(), u"1.0.2.15");
    EXPECT_EQ(file.findText(10001), u"Num\u00e9ro");
    EXPECT_EQ(file.findText(30001), u"&File");
    EXPECT_EQ(file.findText(30002), u"Open(&X)");
    EXPECT_EQ(file.findText(30003), u"F&ile");
    EXPECT_EQ(file.findText(30004), u"File(&F)");
    EXPECT_EQ(file.findText(30005), u"&Open...\tCtrl+O");
    EXPECT_EQ(file.findText(12104), u"Chercher ...:");
    EXPECT_EQ(file.findText(21005), u"") << "an empty text is found, and empty";
    EXPECT_FALSE(file.isIncomplete());
}

TEST_F(LanguageFileTest, MissIsMarkedIncompleteForGood) {
    LanguageFileLoad load = LanguageFile::open(kFixtures + "valid.lrc");
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->findText(4711), std::nullopt);
    EXPECT_TRUE(load.file->isIncomplete());
    EXPECT_EQ(load.file->versionText(), u"1.0.2.15 !");
    EXPECT_TRUE(load.file->findText(30001).has_value());
    EXPECT_TRUE(load.file->isIncomplete()) << "a later hit does not clear the mark";
}

TEST_F(LanguageFileTest, HeaderOnlyFileHasNoTextsAndIsNeverIncomplete) {
    LanguageFileLoad load = LanguageFile::open(kFixtures + "header_only.lrc");
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->findText(21005), std::nullopt);
    EXPECT_FALSE(load.file->isIncomplete());
}

TEST_F(LanguageFileTest, OneByteLongerFileIsRefused) {
    EXPECT_EQ(LanguageFile::open(kFixtures + "one_byte_longer.lrc").status,
              LanguageFileStatus::kSizeMismatch);
}

TEST_F(LanguageFileTest, CharacterSetWithoutInstalledFontIsRefused) {
    const LanguageFileLoad load = LanguageFile::open(kFixtures + "unknown_charset.lrc");
    EXPECT_EQ(load.status, LanguageFileStatus::kCharacterSetNotInstalled);
    EXPECT_EQ(load.offset, 152u + 16u);
    // The same file passes when its character set is taken as installed.
    EXPECT_EQ(LanguageFile::open(kFixtures + "unknown_charset.lrc", anyCharacterSet).status,
              LanguageFileStatus::kOk);
}

TEST_F(LanguageFileTest, CharacterSetCheckFollowsInstalledFonts) {
    EXPECT_TRUE(IsCharacterSetInstalled(0)) << "a Latin font is always installed here";
    EXPECT_TRUE(IsCharacterSetInstalled(1)) << "the default set takes any font";
    EXPECT_FALSE(IsCharacterSetInstalled(99));
    EXPECT_EQ(IsCharacterSetInstalled(128),
              !QFontDatabase::families(QFontDatabase::Japanese).isEmpty());
}

TEST_F(LanguageFileTest, MissingFolderAndPipeAreRefusedWithoutBlocking) {
    EXPECT_EQ(LanguageFile::open(kFixtures + "absent.lrc").status, LanguageFileStatus::kNotFound);
    EXPECT_EQ(LanguageFile::open(kFixtures).status, LanguageFileStatus::kNotRegularFile);
    QTemporaryDir dir;
    const std::string fifo = dir.filePath(QStringLiteral("pipe.lrc")).toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LanguageFile::open(fifo).status, LanguageFileStatus::kNotRegularFile);
}

TEST_F(LanguageFileTest, FirstEntryWithAnIdWins) {
    LanguageFileLoad load = LanguageFile::parse(
        builtFile({{7, 0, 0, 0, u"first"}, {7, 0, 0, 0, u"second"}}), anyCharacterSet);
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->findText(7), u"first");
}

TEST_F(LanguageFileTest, TextEndsAtItsFirstZeroCharacter) {
    std::vector<uint8_t> bytes = builtFile({{7, 0, 0, 0, u"abcd"}});
    putU16(bytes, kEntry + 12 + 2 + 4, 0);  // zero in place of "c"
    LanguageFileLoad load = LanguageFile::parse(std::move(bytes), anyCharacterSet);
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->findText(7), u"ab");
}

TEST_F(LanguageFileTest, EntryTextWithoutTerminatorStaysInsideTheEntry) {
    std::vector<uint8_t> bytes = builtFile({{7, 0, 0, 0, u"ab"}, {8, 0, 0, 0, u"cd"}});
    putU16(bytes, kEntry + 12 + 2 + 4, u'!');  // overwrite the first text's zero
    LanguageFileLoad load = LanguageFile::parse(std::move(bytes), anyCharacterSet);
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->findText(7), u"ab!");
    EXPECT_EQ(load.file->findText(8), u"cd");
}

// Any single changed byte either is refused or gives a file whose lookups stay inside it (the
// sanitizer build checks the "inside").
TEST_F(LanguageFileTest, EveryChangedByteIsRefusedOrReadSafely) {
    const std::vector<uint8_t> original =
        builtFile({{7, 5, 0x1F, u'k', u"Go\tF5"}, {8, 0, 0x01, u'x', u""}});
    for (std::size_t at = 0; at < original.size(); ++at) {
        for (uint8_t value : {0x00, 0x01, 0x02, 0x1C, 0x7F, 0x80, 0xFE, 0xFF}) {
            std::vector<uint8_t> bytes = original;
            bytes[at] = value;
            LanguageFileLoad load = LanguageFile::parse(std::move(bytes), anyCharacterSet);
            if (load.status == LanguageFileStatus::kOk) {
                for (uint32_t id : {7u, 8u, 9u}) {
                    const std::optional<std::u16string> text = load.file->findText(id);
                    // At most the stored units of the longest entry plus nine.
                    EXPECT_LE(text.value_or(u"").size(), 6u + 9u) << at;
                }
            }
        }
    }
    for (std::size_t size = 0; size < original.size(); ++size) {
        EXPECT_NE(LanguageFile::parse(
                      std::vector<uint8_t>(original.begin(),
                                           original.begin() + static_cast<std::ptrdiff_t>(size)),
                      anyCharacterSet)
                      .status,
                  LanguageFileStatus::kOk)
            << "cut to " << size;
    }
}

struct Corruption {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    LanguageFileStatus expected;
};

class LanguageFileCorruptionTest : public ::testing::TestWithParam<Corruption> {
  protected:
    static void SetUpTestSuite() { testApplication(); }
};

TEST_P(LanguageFileCorruptionTest, FileIsRefused) {
    std::vector<uint8_t> bytes = builtFile();
    ASSERT_EQ(LanguageFile::parse(bytes, anyCharacterSet).status, LanguageFileStatus::kOk);
    GetParam().apply(bytes);
    const LanguageFileLoad load = LanguageFile::parse(std::move(bytes), anyCharacterSet);
    EXPECT_EQ(load.status, GetParam().expected);
    EXPECT_EQ(load.file, nullptr);
}

// Changes the string section's data size and the header's sections size together, so the
// file's size still matches and the fault lies inside the section.
void growData(std::vector<uint8_t>& bytes, uint32_t by) {
    bytes.resize(bytes.size() + by, 0);
    putU32(bytes, 140, static_cast<uint32_t>(bytes.size() - 152));
    putU32(bytes, kSection + 8, static_cast<uint32_t>(bytes.size() - 152 - 28));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageFileCorruptionTest,
    ::testing::Values(
        Corruption{"Truncated", [](auto& b) { b.resize(151); }, LanguageFileStatus::kTooSmall},
        Corruption{"BadMagic", [](auto& b) { b[3] = 'X'; }, LanguageFileStatus::kBadMagic},
        Corruption{"SectionOffset", [](auto& b) { putU32(b, 136, 156); },
                   LanguageFileStatus::kBadSectionOffset},
        Corruption{"OneByteLonger", [](auto& b) { b.push_back(0); },
                   LanguageFileStatus::kSizeMismatch},
        Corruption{"OneByteShorter", [](auto& b) { b.pop_back(); },
                   LanguageFileStatus::kSizeMismatch},
        Corruption{"HugeSectionsSize", [](auto& b) { putU32(b, 140, 0xFFFFFFFF); },
                   LanguageFileStatus::kSizeMismatch},
        Corruption{"NoMask", [](auto& b) { putU32(b, 144, 0); },
                   LanguageFileStatus::kNoSectionMask},
        Corruption{"MaskWithMoreSections", [](auto& b) { putU32(b, 144, 3); },
                   LanguageFileStatus::kBadSection},
        Corruption{"MaskWithoutStringBit", [](auto& b) { putU32(b, 144, 2); },
                   LanguageFileStatus::kBadSection},
        Corruption{"SectionHeaderTooSmall", [](auto& b) { putU32(b, kSection + 4, 15); },
                   LanguageFileStatus::kBadSection},
        Corruption{"StringHeaderBelow28", [](auto& b) { putU32(b, kSection + 4, 24); },
                   LanguageFileStatus::kBadStringSection},
        Corruption{"SectionDataZero", [](auto& b) { putU32(b, kSection + 8, 0); },
                   LanguageFileStatus::kBadSection},
        Corruption{"SectionPastEnd", [](auto& b) { putU32(b, kSection + 8, 0xFFFFFFF0); },
                   LanguageFileStatus::kBadSection},
        Corruption{"SectionShorterThanFile", [](auto& b) { putU32(b, kSection + 8, 10); },
                   LanguageFileStatus::kSectionsMismatch},
        Corruption{"TypeTwoBits", [](auto& b) { putU32(b, kSection, 3); },
                   LanguageFileStatus::kBadSectionType},
        Corruption{"TypeZero", [](auto& b) { putU32(b, kSection, 0); },
                   LanguageFileStatus::kBadSectionType},
        Corruption{"OnlyOtherSection",
                   [](auto& b) {
                       putU32(b, kSection, 2);
                       putU32(b, 144, 2);
                   },
                   LanguageFileStatus::kNoStringSection},
        Corruption{"FieldAt20NotOne", [](auto& b) { putU32(b, kSection + 20, 2); },
                   LanguageFileStatus::kBadStringSection},
        Corruption{"NoEntries", [](auto& b) { putU32(b, kSection + 24, 0); },
                   LanguageFileStatus::kBadStringSection},
        Corruption{"TooManyEntries", [](auto& b) { putU32(b, kSection + 24, 3); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"HugeEntryCount", [](auto& b) { putU32(b, kSection + 24, 0xFFFFFFFF); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"TooFewEntries", [](auto& b) { putU32(b, kSection + 24, 1); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"TrailingDataBytes", [](auto& b) { growData(b, 2); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"TextSizeOdd", [](auto& b) { putU16(b, kEntry + 10, 9); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"TextSizeZero", [](auto& b) { putU16(b, kEntry + 10, 0); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"TextPastSection", [](auto& b) { putU16(b, kEntry + 10, 0xFFFE); },
                   LanguageFileStatus::kBadEntries},
        Corruption{"ExtraBelowTwo", [](auto& b) { putU16(b, kEntry + 8, 1); },
                   LanguageFileStatus::kBadEntries}),
    [](const ::testing::TestParamInfo<Corruption>& info) { return info.param.name; });

}  // namespace
