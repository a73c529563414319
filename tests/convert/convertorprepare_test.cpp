// Preparing a convertor: the output path from folder and name, the time-stamped name, the work
// folder, the range, and the convertors' own binding of the format libraries.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <ctime>
#include <memory>

#include "app/folders/filetimestamp.h"
#include "convert/colorpdfconvertor.h"
#include "convert/convertorfactory.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/tiffconvertor.h"
#include "platform/textconv.h"

using namespace convert;

namespace {

// Sets or removes TEMP for one test and puts back what was there.
class ScopedTemp {
  public:
    explicit ScopedTemp(const QByteArray* value) {
        hadValue_ = qEnvironmentVariableIsSet("TEMP");
        old_ = qgetenv("TEMP");
        if (value == nullptr) {
            qunsetenv("TEMP");
        } else {
            qputenv("TEMP", *value);
        }
    }
    ~ScopedTemp() {
        if (hadValue_) {
            qputenv("TEMP", old_);
        } else {
            qunsetenv("TEMP");
        }
    }

  private:
    bool hadValue_ = false;
    QByteArray old_;
};

class ConvertorPrepareTest : public testing::Test {
  protected:
    QTemporaryDir out_;
    QString folder() const { return out_.path(); }
};

TEST_F(ConvertorPrepareTest, OutputPathJoinsFolderAndNameWithOneSeparator) {
    for (const QString& given : {folder(), folder() + u'/'}) {
        CColorPdfConvertor convertor;
        ASSERT_EQ(convertor.Prepare(given, QStringLiteral("a.pdf")), kOk) << given.toStdString();
        EXPECT_EQ(convertor.m_outputs, QStringList{folder() + QStringLiteral("/a.pdf")});
    }
}

TEST_F(ConvertorPrepareTest, WithoutNameTheOutputIsTimeStampedWithTheExtension) {
    struct Case {
        std::unique_ptr<IConvertor> convertor;
        const char* extension;
    };
    Case cases[] = {{std::make_unique<CMonoPdfConvertor>(), ".pdf"},
                    {std::make_unique<CTiffConvertor>(), ".tif"}};
    for (Case& c : cases) {
        const QString before = platform::toQString(FormatFileTimestamp(std::time(nullptr)));
        ASSERT_EQ(c.convertor->Prepare(folder(), QString()), kOk);
        const QString after = platform::toQString(FormatFileTimestamp(std::time(nullptr)));
        ASSERT_EQ(c.convertor->m_outputs.size(), 1);
        const QFileInfo output(c.convertor->m_outputs.first());
        EXPECT_EQ(output.absolutePath(), folder());
        const QString name = output.fileName();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\") + QLatin1String(c.extension) +
                                       QStringLiteral("$"))
                        .match(name)
                        .hasMatch())
            << name.toStdString();
        const QString stamp = name.left(14);
        EXPECT_GE(stamp, before);
        EXPECT_LE(stamp, after);
    }

    CJpgPassthruConvertor jpeg;
    ASSERT_EQ(jpeg.Prepare(folder(), QString()), kOk);
    EXPECT_TRUE(jpeg.m_basePath.endsWith(QStringLiteral(".jpg")));
}

TEST_F(ConvertorPrepareTest, BadFolderIsRefusedAndLeavesTheConvertorReset) {
    CTiffConvertor convertor;
    ASSERT_EQ(convertor.Prepare(folder(), QStringLiteral("a.tif")), kOk);
    ASSERT_EQ(convertor.SetPageRange(1, 3), kOk);

    EXPECT_EQ(convertor.Prepare(QString(), QStringLiteral("a.tif")), kInvalidArg);
    EXPECT_EQ(convertor.Prepare(folder() + QStringLiteral("/missing"), QStringLiteral("a.tif")),
              kFail);
    EXPECT_TRUE(convertor.m_outputs.isEmpty());
    EXPECT_TRUE(convertor.m_workFolder.isEmpty());
    EXPECT_EQ(convertor.m_firstPage, 0);
    EXPECT_EQ(convertor.m_lastPage, 0);
    EXPECT_FALSE(convertor.m_library.isLoaded());
}

TEST_F(ConvertorPrepareTest, PdfAndTiffBindTheirOwnLibraryUntilReset) {
    CColorPdfConvertor pdf;
    CTiffConvertor tiff;
    EXPECT_FALSE(pdf.m_library.isLoaded());
    EXPECT_FALSE(tiff.m_library.isLoaded());
    ASSERT_EQ(pdf.Prepare(folder(), QStringLiteral("a.pdf")), kOk);
    ASSERT_EQ(tiff.Prepare(folder(), QStringLiteral("a.tif")), kOk);
    EXPECT_NE(pdf.m_library.PDF_Encode(), nullptr);
    EXPECT_NE(tiff.m_library.MultiTiffEncode(), nullptr);
    pdf.Reset();
    tiff.Reset();
    EXPECT_EQ(pdf.m_library.PDF_Encode(), nullptr);
    EXPECT_EQ(tiff.m_library.MultiTiffEncode(), nullptr);
    EXPECT_TRUE(pdf.m_outputs.isEmpty());
}

TEST_F(ConvertorPrepareTest, PrepareMakesTempTheWorkFolder) {
    const QByteArray temp = QFile::encodeName(folder());
    ScopedTemp scoped(&temp);
    CJpgPassthruConvertor convertor;
    ASSERT_EQ(convertor.Prepare(folder(), QStringLiteral("a.jpg")), kOk);
    EXPECT_EQ(convertor.m_workFolder, folder());
}

TEST_F(ConvertorPrepareTest, SetWorkFolder) {
    CColorPdfConvertor convertor;
    {
        ScopedTemp noTemp(nullptr);
        EXPECT_EQ(convertor.SetWorkFolder(QString()), kOk);
        EXPECT_TRUE(convertor.m_workFolder.isEmpty());
    }
    EXPECT_EQ(convertor.SetWorkFolder(folder()), kOk);
    EXPECT_EQ(convertor.m_workFolder, folder());
    // Not a directory: refused, the work folder stays.
    EXPECT_EQ(convertor.SetWorkFolder(folder() + QStringLiteral("/missing")), kFail);
    EXPECT_EQ(convertor.SetWorkFolder(QStringLiteral("")), kFail);
    EXPECT_EQ(convertor.m_workFolder, folder());
}

TEST_F(ConvertorPrepareTest, JpegPagesAreNumberedByCounterBeforeTheLastDot) {
    CJpgPassthruConvertor convertor;
    // No base path yet: the range is stored all the same.
    EXPECT_EQ(convertor.SetPageRange(2, 4), kFail);
    EXPECT_EQ(convertor.m_firstPage, 2);
    EXPECT_TRUE(convertor.m_outputs.isEmpty());

    ASSERT_EQ(convertor.Prepare(folder(), QStringLiteral("memo.v2.jpg")), kOk);
    EXPECT_TRUE(convertor.m_outputs.isEmpty());
    EXPECT_EQ(convertor.m_basePath, folder() + QStringLiteral("/memo.v2.jpg"));
    ASSERT_EQ(convertor.SetPageRange(3, 5), kOk);
    EXPECT_EQ(convertor.m_outputs, (QStringList{folder() + QStringLiteral("/memo.v2-1.jpg"),
                                                folder() + QStringLiteral("/memo.v2-2.jpg"),
                                                folder() + QStringLiteral("/memo.v2-3.jpg")}));
    EXPECT_EQ(GetLongestOutputName(&convertor), 13);

    // A range set again replaces the names; an empty range has none.
    ASSERT_EQ(convertor.SetPageRange(4, 3), kOk);
    EXPECT_TRUE(convertor.m_outputs.isEmpty());

    // A base path without a dot gets the counter at its very beginning.
    convertor.m_basePath = QStringLiteral("memo");
    ASSERT_EQ(convertor.SetPageRange(1, 1), kOk);
    EXPECT_EQ(convertor.m_outputs, QStringList{QStringLiteral("-1memo")});

    convertor.Reset();
    EXPECT_TRUE(convertor.m_basePath.isEmpty());
}

TEST(ConvertorBaseTest, BaseDefaults) {
    // The base class has nothing to convert; a subclass without its own Convert keeps this.
    struct Plain : IConvertor {};
    Plain plain;
    EXPECT_EQ(plain.Convert(nullptr, 1), kNotImplemented);
    EXPECT_TRUE(plain.GetExtension().isEmpty());
}

}  // namespace
