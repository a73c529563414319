#include "app/texts/textsources.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include "app/texts/texttables.h"
#include "platform/textconv.h"
#include "tests/dialogframe/qtapp.h"
#include "tools/lrcbuild/lrcsource.h"

namespace {

const QString kFixtures = QStringLiteral(VELNOR_TEST_DATA_DIR "/fixtures/");

std::u16string u16(const QString& text) {
    return platform::fromQString(text);
}

// A program folder of its own: "<dir>/Velnor" with, on request, a language file beside it.
class TextSourcesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testApplication(); }
    void TearDown() override { ReleaseTextSources(); }

    std::u16string programPath() const { return u16(dir_.filePath(QStringLiteral("Velnor"))); }

    void installLanguageFile(const QString& fixture) {
        ASSERT_TRUE(QFile::copy(kFixtures + fixture, dir_.filePath(QStringLiteral("Velnor.lrc"))));
    }

    void installLanguageFile(const LrcSource& source) {
        const LrcBuildResult built = BuildLanguageFile(source);
        ASSERT_TRUE(built.ok) << built.message;
        QFile file(dir_.filePath(QStringLiteral("Velnor.lrc")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(built.bytes.data()),
                   static_cast<qint64>(built.bytes.size()));
    }

    QTemporaryDir dir_;
};

TEST(TextSourceNamesTest, DerivedFromTheFileNameOnly) {
    struct Row {
        std::u16string module;
        std::u16string languageFile;
        std::u16string resourceLibrary;
    };
    for (const Row& row : {
             Row{u"/opt/velnor/Velnor.exe", u"/opt/velnor/Velnor.lrc", u"/opt/velnor/Velnorr.so"},
             Row{u"/opt/velnor/Velnor", u"/opt/velnor/Velnor.lrc", u"/opt/velnor/Velnorr.so"},
             Row{u"/opt/v1.2/Velnor", u"/opt/v1.2/Velnor.lrc", u"/opt/v1.2/Velnorr.so"},
             Row{u"/opt/v1.2/Vel.nor.bin", u"/opt/v1.2/Vel.nor.lrc", u"/opt/v1.2/Vel.norr.so"},
             Row{u"Velnor", u"Velnor.lrc", u"Velnorr.so"},
             Row{u"/opt/velnor/", u"", u""},
             Row{u"", u"", u""},
             Row{u"/" + std::u16string(65531, u'a'), u"", u""},
         }) {
        const TextSourceNames names = DeriveTextSourceNames(row.module);
        EXPECT_EQ(names.languageFile, row.languageFile) << platform::toUtf8(row.module);
        EXPECT_EQ(names.resourceLibrary, row.resourceLibrary) << platform::toUtf8(row.module);
    }
}

TEST_F(TextSourcesTest, WithoutSourcesOwnTextsAnswer) {
    OpenTextSources(programPath());
    EXPECT_FALSE(HasLanguageFile());
    EXPECT_FALSE(HasResourceLibrary());
    EXPECT_EQ(LanguageFileVersion(), QStringLiteral("-"));

    TextTable messages = MessageTextTable;
    FillTextTable(messages);
    EXPECT_EQ(FindTableText(messages, 21005), QStringLiteral("Failed to save the file."));
    EXPECT_EQ(FindTableText(messages, 21008),
              QStringLiteral("Please enter the  IP address or hostname."));
    EXPECT_EQ(FindTableText(messages, 21014), QStringLiteral("Velnor is already running. "));
    EXPECT_EQ(FindTableText(messages, 807),
              QStringLiteral("Authentication failed. (Error Code: 807)"));
    for (int32_t id : {20005, 21101}) {
        EXPECT_TRUE(FindTableText(messages, id).isEmpty()) << id;
        EXPECT_FALSE(FindTableText(messages, id).isNull()) << "shown as an empty caption";
    }
    EXPECT_TRUE(FindTableText(messages, 15001).isEmpty()) << "not in this table";
    EXPECT_EQ(FindTableEntry(messages, 15001), nullptr);

    TextTable progress = ProgressTextTable;
    FillTextTable(progress);
    EXPECT_EQ(FindTableText(progress, 15004), QStringLiteral("Saved successfully"));
    TextTable labels = LabelTextTable;
    FillTextTable(labels);
    EXPECT_EQ(FindTableText(labels, 8001), QStringLiteral("B/W"));
    EXPECT_EQ(FindTableText(labels, 8003), QStringLiteral("USB"));

    EXPECT_EQ(LoadLocalizedText(30303), QStringLiteral("Advance Mode"));
    TextBuffer buffer;
    buffer.fill(u'x');
    EXPECT_FALSE(LoadLocalizedText(4711, buffer));
    EXPECT_EQ(buffer[0], u'\0') << "a miss leaves the buffer empty";
}

TEST_F(TextSourcesTest, LanguageFileTextsComeFirstAndEmptyOnesFallThrough) {
    installLanguageFile(QStringLiteral("valid.lrc"));
    OpenTextSources(programPath());
    ASSERT_TRUE(HasLanguageFile());
    EXPECT_EQ(LoadLocalizedText(10001), QStringLiteral("Num\u00e9ro"));
    EXPECT_EQ(LoadLocalizedText(30005), QStringLiteral("&Open...\tCtrl+O"));
    // 21005 has an empty text in the file: the own text is used.
    EXPECT_EQ(LoadLocalizedText(21005), QStringLiteral("Failed to save the file."));
    EXPECT_EQ(LanguageFileVersion(), QStringLiteral("1.0.2.15")) << "an empty text is no miss";

    TextTable messages = MessageTextTable;
    FillTextTable(messages);
    EXPECT_EQ(FindTableText(messages, 21005), QStringLiteral("Failed to save the file."));
    EXPECT_EQ(LanguageFileVersion(), QStringLiteral("1.0.2.15 !"))
        << "the file lacks most message ids";
}

TEST_F(TextSourcesTest, MalformedLanguageFilesAreIgnoredAsAWhole) {
    for (const QString& fixture :
         {QStringLiteral("one_byte_longer.lrc"), QStringLiteral("unknown_charset.lrc")}) {
        QFile::remove(dir_.filePath(QStringLiteral("Velnor.lrc")));
        installLanguageFile(fixture);
        OpenTextSources(programPath());
        EXPECT_FALSE(HasLanguageFile()) << fixture.toStdString();
        EXPECT_EQ(LoadLocalizedText(10001), QStringLiteral("File Number"));
        EXPECT_EQ(LanguageFileVersion(), QStringLiteral("-"));
    }
}

TEST_F(TextSourcesTest, LongTextsAreCutAt512Characters) {
    LrcSource source;
    source.entries = {{10001, 0, 0, 0, std::u16string(600, u'w')},
                      {10002, 0, 0x01, u'q', std::u16string(511, u'w')}};
    installLanguageFile(source);
    OpenTextSources(programPath());
    TextBuffer buffer;
    ASSERT_TRUE(LoadLocalizedText(10001, buffer));
    EXPECT_EQ(std::u16string(buffer.data()), std::u16string(512, u'w'));
    ASSERT_TRUE(LoadLocalizedText(10002, buffer));
    EXPECT_EQ(std::u16string(buffer.data()), std::u16string(511, u'w') + u"(");
}

TEST_F(TextSourcesTest, ReopeningReplacesAndReleaseForgets) {
    installLanguageFile(QStringLiteral("valid.lrc"));
    OpenTextSources(programPath());
    EXPECT_TRUE(HasLanguageFile());
    QFile::remove(dir_.filePath(QStringLiteral("Velnor.lrc")));
    EXPECT_EQ(LoadLocalizedText(10001), QStringLiteral("Num\u00e9ro")) << "read once, kept";
    OpenTextSources(programPath());
    EXPECT_FALSE(HasLanguageFile()) << "opening again drops the earlier file";
    installLanguageFile(QStringLiteral("valid.lrc"));
    OpenTextSources(programPath());
    ReleaseTextSources();
    ReleaseTextSources();
    EXPECT_FALSE(HasLanguageFile());
    EXPECT_EQ(LoadLocalizedText(10001), QStringLiteral("File Number"));
}

TEST_F(TextSourcesTest, ResourceLibraryBesideTheProgramAnswersById) {
    OpenTextSources(u16(QStringLiteral(VELNOR_PROGRAM_DIR "/Velnor")));
    ASSERT_TRUE(HasResourceLibrary()) << "Velnorr.so is built into the program folder";
    TextTable messages = MessageTextTable;
    FillTextTable(messages);
    EXPECT_FALSE(FindTableText(messages, 20005).isEmpty());
    const QString format = FindTableText(messages, 21101);
    EXPECT_EQ(format.count(QStringLiteral("%s")), 1) << "one placeholder for the file name";
    EXPECT_EQ(format.count(u'%'), 1);
    EXPECT_EQ(FindTableText(messages, 21005), QStringLiteral("Failed to save the file."))
        << "ids the library lacks come from the own table";
}

TEST_F(TextSourcesTest, LanguageFileComesBeforeTheResourceLibrary) {
    // A program folder holding a copy of the resource library and a language file with 20005.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELNOR_PROGRAM_DIR "/Velnorr.so"),
                            dir_.filePath(QStringLiteral("Velnorr.so"))));
    LrcSource source;
    source.entries = {{20005, 0, 0, 0, u"Fehler"}, {21101, 0, 0, 0, u""}};
    installLanguageFile(source);
    OpenTextSources(programPath());
    ASSERT_TRUE(HasLanguageFile());
    ASSERT_TRUE(HasResourceLibrary());
    EXPECT_EQ(LoadLocalizedText(20005), QStringLiteral("Fehler"));
    EXPECT_TRUE(LoadLocalizedText(21101).contains(QStringLiteral("%s")))
        << "an empty language text falls through to the library";
}

TEST_F(TextSourcesTest, BrokenResourceLibraryIsIgnored) {
    QFile garbage(dir_.filePath(QStringLiteral("Brokenr.so")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a library");
    garbage.close();
    OpenTextSources(u16(dir_.filePath(QStringLiteral("Broken"))));
    EXPECT_FALSE(HasResourceLibrary());
    EXPECT_EQ(LoadLocalizedText(21005), QStringLiteral("Failed to save the file."));
}

}  // namespace
