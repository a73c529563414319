// Choosing a convertor: the extension table, which class serves which request, and the longest
// output name the destination check probes with.

#include <gtest/gtest.h>

#include "convert/colorpdfconvertor.h"
#include "convert/convertorfactory.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/tiffconvertor.h"

namespace {

struct TypeCase {
    const char* path;
    int type;
};

class ConvertorTypeTest : public testing::TestWithParam<TypeCase> {};

TEST_P(ConvertorTypeTest, ExtensionSelectsType) {
    EXPECT_EQ(GetConvertorType(QString::fromUtf8(GetParam().path)), GetParam().type)
        << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, ConvertorTypeTest,
    testing::Values(TypeCase{"Memo.PDF", kConvertorPdf}, TypeCase{"/out/a.pdf", kConvertorPdf},
                    TypeCase{"scan.TIFF", kConvertorTiff}, TypeCase{"scan.tif", kConvertorTiff},
                    TypeCase{"scan.JPG", kConvertorJpeg}, TypeCase{"scan.jpeg", kConvertorJpeg},
                    TypeCase{"scan.jp2", kConvertorNone}, TypeCase{"scan", kConvertorNone},
                    TypeCase{"scan.", kConvertorNone}, TypeCase{"scan.pdf.txt", kConvertorNone},
                    TypeCase{"", kConvertorNone}));

struct CreateCase {
    const char* name;
    int type;
    bool monochrome;
    const char* expected;  // class name, or nullptr for none
};

const char* ClassOf(const IConvertor* convertor) {
    if (convertor == nullptr) {
        return nullptr;
    }
    if (dynamic_cast<const CColorPdfConvertor*>(convertor)) {
        return "CColorPdfConvertor";
    }
    if (dynamic_cast<const CMonoPdfConvertor*>(convertor)) {
        return "CMonoPdfConvertor";
    }
    if (dynamic_cast<const CTiffConvertor*>(convertor)) {
        return "CTiffConvertor";
    }
    if (dynamic_cast<const CJpgPassthruConvertor*>(convertor)) {
        return "CJpgPassthruConvertor";
    }
    return "unknown";
}

class CreateConvertorTest : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateConvertorTest, TableNamesTheClass) {
    const CreateCase& c = GetParam();
    // The holder's earlier convertor is replaced (or dropped when none serves the request).
    ConvertorHolder holder = std::make_unique<CJpgPassthruConvertor>();
    IConvertor* made = CreateConvertor(c.monochrome, holder, c.type);
    EXPECT_EQ(made, holder.get());
    if (c.expected == nullptr) {
        EXPECT_EQ(made, nullptr);
    } else {
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(ClassOf(made), c.expected);
        EXPECT_TRUE(made->m_outputs.isEmpty());
        EXPECT_TRUE(made->m_workFolder.isEmpty());
        EXPECT_EQ(made->m_firstPage, 0);
        EXPECT_EQ(made->m_lastPage, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CreateConvertorTest,
    testing::Values(CreateCase{"ColourPdf", kConvertorPdf, false, "CColorPdfConvertor"},
                    CreateCase{"MonoPdf", kConvertorPdf, true, "CMonoPdfConvertor"},
                    CreateCase{"MonoTiff", kConvertorTiff, true, "CTiffConvertor"},
                    CreateCase{"ColourTiff", kConvertorTiff, false, nullptr},
                    CreateCase{"ColourJpeg", kConvertorJpeg, false, "CJpgPassthruConvertor"},
                    CreateCase{"MonoJpeg", kConvertorJpeg, true, nullptr},
                    CreateCase{"NoType", kConvertorNone, false, nullptr},
                    CreateCase{"UnknownType", 7, true, nullptr}),
    [](const testing::TestParamInfo<CreateCase>& info) { return std::string(info.param.name); });

TEST(IsConvertibleTest, FollowsTheTableForPathAndColourMode) {
    EXPECT_TRUE(IsConvertible(QStringLiteral("memo.pdf"), false));
    EXPECT_TRUE(IsConvertible(QStringLiteral("memo.pdf"), true));
    EXPECT_TRUE(IsConvertible(QStringLiteral("memo.TIF"), true));
    EXPECT_FALSE(IsConvertible(QStringLiteral("memo.tif"), false));
    EXPECT_TRUE(IsConvertible(QStringLiteral("memo.jpeg"), false));
    EXPECT_FALSE(IsConvertible(QStringLiteral("memo.jpg"), true));
    EXPECT_FALSE(IsConvertible(QStringLiteral("memo.png"), false));
}

TEST(LongestOutputNameTest, CountsTheNamePartOfPathsWithAFolder) {
    CJpgPassthruConvertor convertor;
    EXPECT_EQ(GetLongestOutputName(nullptr), 0);
    EXPECT_EQ(GetLongestOutputName(&convertor), 0);
    convertor.m_outputs = {QStringLiteral("/out/a-1.jpg"), QStringLiteral("/out/sub/a-10.jpg"),
                           QStringLiteral("no-folder-but-very-long-name.jpg")};
    EXPECT_EQ(GetLongestOutputName(&convertor), 8);  // "a-10.jpg"
}

}  // namespace
