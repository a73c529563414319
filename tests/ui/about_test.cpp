// The About box and the version values it shows.
#include <QLabel>
#include <QPushButton>

#include <fstream>

#include "app/about/aboutdialog.h"
#include "app/texts/textsources.h"
#include "tests/ui/uitestenv.h"
#include "tools/lrcbuild/lrcsource.h"

namespace {

QString Shown(CAboutDlg& dialog, int id) {
    return dialog.control<QLabel>(id)->text();
}

// Opens the About box, reads what it shows and closes it with OK.
std::map<int, QString> OpenAbout(CAboutDlg& dialog) {
    std::map<int, QString> shown;
    DialogAnswerer<CAboutDlg> answerer([&shown](CAboutDlg* d) {
        for (int id : {CAboutDlg::IdProduct, CAboutDlg::IdVersion, CAboutDlg::IdLanguageVersion,
                       CAboutDlg::IdNotice}) {
            shown[id] = Shown(*d, id);
        }
        shown[0] = d->windowTitle();
        d->control<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(dialog.exec(), IDOK);
    return shown;
}

}  // namespace

TEST(VersionInformation, QueriesTheProgramsOwnStringTable) {
    CVersionInformation own;
    EXPECT_EQ(own.language(), 0x0000);
    EXPECT_EQ(own.codePage(), 0x04B0);
    EXPECT_EQ(own.Query(kFileVersionPath), std::u16string(u"1.0.0.0"));
    ASSERT_TRUE(own.Query(kLegalCopyrightPath).has_value());
    EXPECT_FALSE(own.Query(kLegalCopyrightPath)->empty());
    EXPECT_FALSE(own.Query(u"\\StringFileInfo\\%04X%04X\\Comments").has_value());
    EXPECT_FALSE(own.Query(nullptr).has_value());
    const std::u16string tooLong = u"\\" + std::u16string(300, u'x');
    EXPECT_FALSE(own.Query(tooLong.c_str()).has_value());
}

TEST(VersionInformation, WithoutATranslationListTheQueryFindsNothing) {
    VersionBlock block = ProgramVersionBlock();
    block.translations.clear();
    CVersionInformation withoutList(block);
    EXPECT_EQ(withoutList.language(), 0);
    EXPECT_EQ(withoutList.codePage(), 0);
    EXPECT_FALSE(withoutList.Query(kFileVersionPath).has_value());
    block.values[u"\\StringFileInfo\\00000000\\FileVersion"] = u"9.9";
    EXPECT_EQ(CVersionInformation(block).Query(kFileVersionPath), std::u16string(u"9.9"));
    EXPECT_FALSE(CVersionInformation(std::nullopt).Query(kFileVersionPath).has_value());
}

TEST(AboutBox, ShowsProductVersionNoticeAndNoLanguageFile) {
    testApplication();
    ReleaseTextSources();
    CAboutDlg dialog;
    std::map<int, QString> shown = OpenAbout(dialog);
    EXPECT_EQ(shown[0], "About");
    EXPECT_EQ(shown[CAboutDlg::IdProduct], "Arvenco Velnor");
    EXPECT_EQ(shown[CAboutDlg::IdVersion], "1.0.0.0");
    EXPECT_EQ(shown[CAboutDlg::IdLanguageVersion], "-");
    EXPECT_FALSE(shown[CAboutDlg::IdNotice].isEmpty());

    VersionBlock block = ProgramVersionBlock();
    block.translations.clear();
    CAboutDlg withoutList(CVersionInformation(block), nullptr);
    shown = OpenAbout(withoutList);
    EXPECT_EQ(shown[CAboutDlg::IdVersion], "");
    EXPECT_EQ(shown[CAboutDlg::IdNotice], "");
}

TEST(AboutBox, ShowsTheLanguageFileVersionMarkedAfterAMissingText) {
    testApplication();
    TempFolder folder("ui-about");
    LrcSource source;
    source.version = {1, 0, 2, 15};
    source.entries.push_back({101, 0, 0, 0, u"About Velnor"});
    const LrcBuildResult built = BuildLanguageFile(source);
    ASSERT_TRUE(built.ok) << built.message;
    {
        std::ofstream out(folder.file("Velnor.lrc"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(built.bytes.data()),
                  static_cast<std::streamsize>(built.bytes.size()));
    }
    OpenTextSources((folder.path() / "Velnor").u16string());
    ASSERT_TRUE(HasLanguageFile());

    CAboutDlg first;
    std::map<int, QString> shown = OpenAbout(first);
    EXPECT_EQ(shown[0], "About Velnor");
    EXPECT_EQ(shown[CAboutDlg::IdLanguageVersion], "1.0.2.15");

    LoadLocalizedText(20001u);  // not in the file: marks it incomplete
    CAboutDlg second;
    shown = OpenAbout(second);
    EXPECT_EQ(shown[CAboutDlg::IdLanguageVersion], "1.0.2.15 !");
    ReleaseTextSources();
}
