#include "tools/lrcbuild/lrcsource.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include "app/texts/languagefile.h"
#include "tests/dialogframe/qtapp.h"

namespace {

bool anyCharacterSet(uint32_t) {
    return true;
}

TEST(LrcSourceTest, ReadsDirectivesAttributesAndEscapes) {
    const LrcParseResult parsed = ParseLrcSource(
        "# comment\r\n"
        "version 1.0.2.15\n"
        "charset 0x80\n"
        "\n"
        "  21005   \"Failed \\\"x\\\"\\\\\"\n"
        "30005 kind=5 flags=0x05 key=o \"Open\\tCtrl+O\"\n"
        "30006 key=\xc3\xa9 \"caf\\u00e9 \xe2\x82\xac\"\n"
        "21101 \"\"");
    ASSERT_TRUE(parsed.ok) << parsed.line << ": " << parsed.message;
    const LrcSource& source = parsed.source;
    EXPECT_EQ(source.version, (std::array<uint8_t, 4>{1, 0, 2, 15}));
    EXPECT_EQ(source.characterSet, 128u);
    ASSERT_EQ(source.entries.size(), 4u);
    EXPECT_EQ(source.entries[0].id, 21005u);
    EXPECT_EQ(source.entries[0].text, u"Failed \"x\"\\");
    EXPECT_EQ(source.entries[1].kind, 5);
    EXPECT_EQ(source.entries[1].flags, 5);
    EXPECT_EQ(source.entries[1].accessKey, u'o');
    EXPECT_EQ(source.entries[1].text, u"Open\tCtrl+O");
    EXPECT_EQ(source.entries[2].accessKey, u'\u00e9');
    EXPECT_EQ(source.entries[2].text, u"caf\u00e9 \u20ac");
    EXPECT_EQ(source.entries[3].text, u"");
}

TEST(LrcSourceTest, ReportsTheFaultyLine) {
    struct Row {
        const char* source;
        int line;
    };
    for (const Row& row :
         {Row{"version 1.2.3\n", 1}, Row{"version 1.2.3.256\n", 1}, Row{"\ncharset x\n", 2},
          Row{"12 Text\n", 1}, Row{"12 \"unterminated\n", 1}, Row{"12 \"a\"b\"\n", 1},
          Row{"12 \"bad \\q escape\"\n", 1}, Row{"12 \"\\u00\"\n", 1}, Row{"12 \"\\u0000\"\n", 1},
          Row{"1 \"ok\"\n12 kind=70000 \"a\"\n", 2}, Row{"12 key=ab \"a\"\n", 1},
          Row{"12 colour=red \"a\"\n", 1}, Row{"4294967296 \"a\"\n", 1}, Row{"hello\n", 1}}) {
        const LrcParseResult parsed = ParseLrcSource(row.source);
        EXPECT_FALSE(parsed.ok) << row.source;
        EXPECT_EQ(parsed.line, row.line) << row.source;
        EXPECT_FALSE(parsed.message.empty());
    }
}

TEST(LrcSourceTest, BuildRefusesAnEmptySource) {
    EXPECT_FALSE(BuildLanguageFile(LrcSource{}).ok);
    LrcSource longText;
    longText.entries = {{1, 0, 0, 0, std::u16string(32767, u'a')}};
    EXPECT_FALSE(BuildLanguageFile(longText).ok);
    longText.entries[0].text.pop_back();
    EXPECT_TRUE(BuildLanguageFile(longText).ok) << "32766 characters and the zero fit";
}

TEST(LrcBuildToolTest, BuildsAFileTheReaderAccepts) {
    testApplication();
    QTemporaryDir dir;
    const QString sourcePath = dir.filePath(QStringLiteral("fr.txt"));
    const QString outputPath = dir.filePath(QStringLiteral("Velnor.lrc"));
    QFile source(sourcePath);
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(
        "version 3.1.4.1\ncharset 0\n21005 \"\xc3\x89"
        "chec\"\n30001 key=s flags=0x05 \"Settings\"\n");
    source.close();

    const QString tool = QStringLiteral(VELNOR_PROGRAM_DIR "/lrcbuild");
    EXPECT_EQ(QProcess::execute(tool, {sourcePath, outputPath}), 0);
    LanguageFileLoad load = LanguageFile::open(outputPath.toStdString());
    ASSERT_EQ(load.status, LanguageFileStatus::kOk);
    EXPECT_EQ(load.file->versionText(), u"3.1.4.1");
    EXPECT_EQ(load.file->findText(21005), u"\u00c9chec");
    EXPECT_EQ(load.file->findText(30001), u"&Settings...");

    // A faulty source fails and leaves the earlier output alone.
    ASSERT_TRUE(source.open(QIODevice::WriteOnly | QIODevice::Truncate));
    source.write("21005 \"broken\n");
    source.close();
    QProcess run;
    run.start(tool, {sourcePath, outputPath});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(run.readAllStandardError().contains("fr.txt:1:"));
    EXPECT_EQ(LanguageFile::open(outputPath.toStdString(), anyCharacterSet).status,
              LanguageFileStatus::kOk);
    EXPECT_FALSE(QFile::exists(outputPath + QStringLiteral(".part")));
    EXPECT_EQ(QProcess::execute(tool, {sourcePath}), 2) << "usage error";
}

}  // namespace
