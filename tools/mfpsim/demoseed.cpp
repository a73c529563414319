#include "tools/mfpsim/demoseed.h"

#include "tools/pagemaker/pagemaker.h"

namespace {

constexpr int kDemoDpi = 200;

struct DemoDocument {
    std::uint32_t folderId;
    std::uint32_t fileId;
    const char* fileName;
    const char* timestamp;
    bool colour;
    const char* title;
    int pages;
};

std::string toText(const pagemaker::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

bool seedDemoStore(SimulatorStore& store) {
    if (!store.boxes().empty()) {
        return true;
    }
    const StoredBox boxes[] = {
        {1, "Scans", 0x01, ""},
        {2, "Invoices", 0x01, ""},
        {3, "Finance", 0x11, "1234"},
        {4, "Empty", 0x01, ""},
    };
    const DemoDocument documents[] = {
        {1, 0x0001A2F3, "0001", "2026/11/03 09:15:00", true, "Quarterly report", 3},
        {1, 0x0001A2F4, "0002", "2026/11/20 14:02:10", false, "Signed contract", 2},
        {1, 0x0001A2F5, "0003", "2026/10/28 17:45:33", true, "Site photos", 1},
        {2, 0x0001B001, "0004", "2026/09/12 08:30:00", false, "Invoice 2026-0912", 4},
        {2, 0x0001B002, "0005", "2026/12/01 11:11:11", true, "Delivery note", 2},
        {3, 0x0001C001, "0006", "2026/07/04 16:20:00", true, "Balance sheet", 2},
        {3, 0x0001C002, "0007", "2026/08/15 10:05:45", false, "Bank statement", 1},
    };
    bool ok = store.setDeviceName("Velnor MFP");
    for (const StoredBox& box : boxes) {
        ok = ok && store.addBox(box);
    }
    for (const DemoDocument& demo : documents) {
        if (!ok) {
            break;
        }
        StoredDocument document;
        document.fileId = demo.fileId;
        document.folderId = demo.folderId;
        document.fileName = demo.fileName;
        document.timestamp = demo.timestamp;
        document.imageFormat = demo.colour ? 1 : 0;
        document.xResolution = kDemoDpi;
        document.yResolution = kDemoDpi;
        std::vector<std::string> pages;
        for (int page = 1; ok && page <= demo.pages; ++page) {
            const QImage image = pagemaker::renderTextPage(
                QString::fromUtf8(demo.title),
                {QString("File number %1").arg(demo.fileName),
                 QString("Scanned %1").arg(demo.timestamp),
                 QString("Page %1 of %2").arg(page).arg(demo.pages),
                 demo.colour ? QString("Colour scan") : QString("Black-and-white scan")},
                kDemoDpi, demo.colour ? QColor(30, 80, 170) : QColor(0, 0, 0));
            document.xPixel = image.width();
            document.yPixel = image.height();
            const pagemaker::Bytes bytes =
                demo.colour ? pagemaker::makeColourJpeg(pagemaker::toRgb(image), kDemoDpi, kDemoDpi)
                            : pagemaker::makeBlackWhiteTiff(pagemaker::toBitonal(image), kDemoDpi,
                                                            kDemoDpi);
            ok = !bytes.empty();
            pages.push_back(toText(bytes));
        }
        ok = ok && store.addDocument(document, pages);
    }
    return ok;
}
