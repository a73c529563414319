// Fuzz target: a device's response body parsed by the transport and walked by the device access
// layer, exactly as a LIST, DELETE or GETIMAGEINFO answer is. The transport's own job documents
// carry the body; only the exchange is left out: every job of the layer gets the input as its
// response. Whatever the device sends, the tables stay within their sizes and every text cut
// into them fits its field.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/deviceaccess.h"
#include "device/devicelibraries.h"
#include "device/jobexchange.h"
#include "device/selectedmfp.h"
#include "device/usb/usbpath.h"
#include "device/waitcursor.h"
#include "ostrel/ostrel.h"

extern "C" int GetHTTPXML(HttpXmlTable* table, std::uint32_t tableSize);

namespace {

const std::uint8_t* responseBytes = nullptr;
std::size_t responseSize = 0;

const HttpXmlTable& Transport() {
    static HttpXmlTable table{};
    static const bool bound = GetHTTPXML(&table, kHttpXmlTableBytes) != 0;
    if (!bound) {
        std::abort();
    }
    return table;
}

// A text cut into a fixed field: at most units - 1 code units, terminated, no half pair left.
void CheckField(const char16_t* field, int units) {
    int length = 0;
    while (length < units && field[length] != u'\0') {
        ++length;
    }
    if (length >= units ||
        (length > 0 && field[length - 1] >= 0xD800 && field[length - 1] <= 0xDBFF)) {
        std::abort();
    }
}

}  // namespace

// The layer's links to the rest of the program, replaced for the fuzzer: the transport is the
// real one, bound directly; there is no user interface, work folder or USB device.
const HttpXmlTable* TransportTable() {
    return &Transport();
}
StiCreateInstanceWFunction StiCreateInstanceEntry() {
    return nullptr;
}
void UseDeviceLibraries(const HttpXmlTable*, StiCreateInstanceWFunction) {}
WaitCursor::WaitCursor() {
    shown_ = false;
}
WaitCursor::~WaitCursor() {}
std::u16string SaveFolder() {
    return u"/nonexistent-save";
}
std::u16string PreviewFolder() {
    return u"/nonexistent-preview";
}
int FetchPageData(std::u16string_view, int, int, std::u16string_view) {
    return 0;
}

// Builds the request as the layer does, encodes it, then takes the input as the device's answer.
bool RunDeviceJob(const MFPInfo&, std::uint32_t, UsbLock,
                  const std::function<void(DeviceJob&)>& build,
                  const std::function<bool(const ResponseNode&)>& visit) {
    DeviceJob job(TransportTable());
    if (!job.valid()) {
        std::abort();
    }
    job.SetVersion();
    build(job);
    if (!job.EncodeRequest(kJobPath) || job.EncodedSize() == 0) {
        std::abort();  // every request the layer builds must encode
    }
    if (!job.DecodeResponse(reinterpret_cast<const char*>(responseBytes),
                            static_cast<std::uint32_t>(responseSize))) {
        return false;
    }
    return job.Walk(visit);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) {
        return 0;
    }
    responseBytes = data;
    responseSize = size;
    MFPInfo mfp;
    mfp.IPv4Address = QStringLiteral("127.0.0.1");

    QStringList names;
    DeviceAccess::ListBoxes(mfp, names);
    const BoxTable& boxes = NetworkBoxTable();
    if (boxes.count < 0 || boxes.count > kBoxTableSize || names.size() != boxes.count) {
        std::abort();
    }
    for (int i = 0; i < boxes.count; ++i) {
        CheckField(boxes.entries[i].name, kNameUnits);
    }

    // A protected box to list, whatever the box answer held.
    BoxTable& table = NetworkBoxTable();
    table.count = 2;
    table.entries[1] = BoxEntry{};
    table.entries[1].folderId = 5;
    table.entries[1].attribute = kBoxNeedsPasswordBit;
    std::int32_t code = 0;
    DeviceAccess::ListDocuments(mfp, 0, 1, QStringLiteral("1234"), &code);
    const DocumentTable& documents = NetworkDocumentTable();
    if (documents.count < -1 || documents.count > kDocumentTableSize) {
        std::abort();
    }
    for (int i = 0; i < documents.count; ++i) {
        CheckField(documents.entries[i].fileName, kNameUnits);
        CheckField(documents.entries[i].folderName, kNameUnits);
        CheckField(documents.entries[i].timestamp, kTimestampUnits);
    }
    QStringList fileNames;
    QStringList timestamps;
    QStringList pages;
    std::array<std::int32_t, kDocumentTableSize> formats{};
    DeviceAccess::DocumentColumns(mfp, fileNames, timestamps, pages, formats);
    const qsizetype listed = documents.count < 0 ? 0 : documents.count;
    if (fileNames.size() != listed || timestamps.size() != listed || pages.size() != listed) {
        std::abort();
    }
    DeviceAccess::SortDocumentsByTime(mfp, fileNames, timestamps, pages, formats);
    if (fileNames.size() != listed || timestamps.size() != listed) {
        std::abort();
    }

    // A document to ask about and delete: the first listed one, or a made-up one.
    DocumentTable& docs = NetworkDocumentTable();
    if (docs.count <= 0) {
        docs.count = 1;
        docs.entries[0] = DocumentEntry{};
        docs.entries[0].fileId = 0x1A2F3;
        docs.entries[0].imageFormat = 1;
    }
    PageImageInfo info{};
    DeviceAccess::GetImageInfo(mfp, 0, 1, &info);
    DeviceAccess::DeleteDocument(mfp, 0, &code);
    return 0;
}
