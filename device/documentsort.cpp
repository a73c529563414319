#include "device/documentsort.h"

#include <cmath>
#include <utility>

#include "platform/devicedate.h"
#include "platform/textconv.h"

namespace {

// A negative date counts whole days backwards but its fraction forwards; this puts it on a
// scale where a smaller value is always an earlier time.
double LinearDate(double date) {
    return date < 0 ? 2 * std::ceil(date) - date : date;
}

std::optional<double> ParseTimestamp(const QString& text) {
    return platform::parseDeviceDate(platform::fromQString(text));
}

}  // namespace

void SortDocumentColumns(DocumentTable& table, QStringList& fileNames, QStringList& timestamps,
                         QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats) {
    const qsizetype n = timestamps.size();
    for (qsizetype pass = 1; pass < n; ++pass) {
        for (qsizetype j = 0; j + pass < n; ++j) {
            const std::optional<double> first = ParseTimestamp(timestamps[j]);
            const std::optional<double> second = ParseTimestamp(timestamps[j + 1]);
            if (!first || !second || !(LinearDate(*second) < LinearDate(*first))) {
                continue;
            }
            timestamps[j] = platform::toQString(platform::formatDeviceDate(*second));
            timestamps[j + 1] = platform::toQString(platform::formatDeviceDate(*first));
            if (j + 1 < fileNames.size()) {
                fileNames.swapItemsAt(j, j + 1);
            }
            if (j + 1 < pages.size()) {
                pages.swapItemsAt(j, j + 1);
            }
            if (j + 1 < kDocumentTableSize) {
                std::swap(formats[j], formats[j + 1]);
                DocumentEntry& a = table.entries[j];
                DocumentEntry& b = table.entries[j + 1];
                std::swap(a.fileId, b.fileId);
                std::swap(a.imageFormat, b.imageFormat);
            }
        }
    }
}
