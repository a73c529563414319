// SortDocumentsByTime: the columns and the table entries move in step, oldest first.

#include <gtest/gtest.h>

#include <array>

#include "app/settings/appsettings.h"
#include "device/deviceaccess.h"

namespace {

// Fills the network document table with one entry per timestamp: fileId 0x100 + i, file name
// "F<i>", pages i + 1, imageFormat i % 2.
void FillTable(const std::vector<QString>& timestamps) {
    DocumentTable& table = NetworkDocumentTable();
    table = DocumentTable{};
    for (std::size_t i = 0; i < timestamps.size(); ++i) {
        DocumentEntry& entry = table.entries[i];
        entry.fileId = 0x100 + static_cast<std::uint32_t>(i);
        entry.imageFormat = static_cast<std::int32_t>(i % 2);
        entry.pages = static_cast<std::int32_t>(i + 1);
        entry.folderId = 7;
        const QString name = QString("F%1").arg(i);
        std::copy_n(reinterpret_cast<const char16_t*>(name.utf16()), name.size(), entry.fileName);
        std::copy_n(reinterpret_cast<const char16_t*>(timestamps[i].utf16()), timestamps[i].size(),
                    entry.timestamp);
    }
    table.count = static_cast<std::int32_t>(timestamps.size());
}

struct SortCase {
    const char* name;
    std::vector<QString> timestamps;
    std::vector<int> expectedOrder;  // original positions, in the sorted order
    std::vector<QString> expectedTimestamps;
};

class SortDocumentsByTimeTest : public testing::TestWithParam<SortCase> {};

TEST_P(SortDocumentsByTimeTest, MovesColumnsAndEntriesInStep) {
    const SortCase& sortCase = GetParam();
    FillTable(sortCase.timestamps);
    const MFPInfo mfp;  // network path
    QStringList fileNames, timestamps, pages;
    std::array<std::int32_t, kDocumentTableSize> formats{};
    DeviceAccess::DocumentColumns(mfp, fileNames, timestamps, pages, formats);

    DeviceAccess::SortDocumentsByTime(mfp, fileNames, timestamps, pages, formats);

    const DocumentTable& table = NetworkDocumentTable();
    for (std::size_t j = 0; j < sortCase.expectedOrder.size(); ++j) {
        const int from = sortCase.expectedOrder[j];
        SCOPED_TRACE(testing::Message() << "position " << j);
        EXPECT_EQ(timestamps[j], sortCase.expectedTimestamps[j]);
        EXPECT_EQ(fileNames[j], QString("F%1").arg(from));
        EXPECT_EQ(pages[j], QString::number(from + 1));
        EXPECT_EQ(formats[j], from % 2);
        EXPECT_EQ(table.entries[j].fileId, 0x100u + from);
        EXPECT_EQ(table.entries[j].imageFormat, from % 2);
        // Only fileId and imageFormat move in the table.
        EXPECT_EQ(table.entries[j].pages, static_cast<int>(j) + 1);
        EXPECT_EQ(QString::fromUtf16(table.entries[j].fileName), QString("F%1").arg(j));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortDocumentsByTimeTest,
    testing::Values(
        // One swap; the unparsable text never moves; moved texts are rewritten.
        SortCase{"OneSwapUnparsableStays",
                 {"2012/03/01 10:00:00", "2012/1/5 9:00", "not a date"},
                 {1, 0, 2},
                 {"2012/01/05 09:00:00", "2012/03/01 10:00:00", "not a date"}},
        // An unparsable entry between two dates blocks every swap across it.
        SortCase{"UnparsableBlocks",
                 {"2013/01/01 00:00:00", "garbage", "2012/01/01 00:00:00"},
                 {0, 1, 2},
                 {"2013/01/01 00:00:00", "garbage", "2012/01/01 00:00:00"}},
        // Equal times keep their order, and texts that do not move keep their form.
        SortCase{"EqualTimesStay",
                 {"2011/01/01 00:00:00", "2012/5/5 10:00", "2012/05/05 10:00:00"},
                 {0, 1, 2},
                 {"2011/01/01 00:00:00", "2012/5/5 10:00", "2012/05/05 10:00:00"}},
        // Dates before 30 December 1899 are ordered by time too.
        SortCase{"BeforeEpoch",
                 {"1899/12/29 18:00:00", "1899/12/29 06:00:00", "1899/12/30 00:00:00",
                  "1899/12/28 23:59:59"},
                 {3, 1, 0, 2},
                 {"1899/12/28 23:59:59", "1899/12/29 06:00:00", "1899/12/29 18:00:00",
                  "1899/12/30 00:00:00"}},
        SortCase{"SingleEntry", {"2012/03/01 10:00:00"}, {0}, {"2012/03/01 10:00:00"}}),
    [](const testing::TestParamInfo<SortCase>& info) { return info.param.name; });

}  // namespace
