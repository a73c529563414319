// Page download and image information, on the network and the USB path.

#include <cstdio>
#include <string>

#include "app/folders/workfolders.h"
#include "device/deviceaccess.h"
#include "device/devicelibraries.h"
#include "device/jobexchange.h"
#include "device/pagedownload.h"
#include "device/pagefile.h"
#include "device/selectedmfp.h"
#include "device/textkey.h"
#include "device/usb/usbpath.h"
#include "device/waitcursor.h"
#include "ostrel/ostrel.h"

namespace {

// The listed document at `index` of the path's table, or null for an index outside the listing.
const DocumentEntry* ListedDocument(const MFPInfo& mfp, int index) {
    const DocumentTable& table = DocumentTableFor(mfp);
    if (index < 0 || index >= table.count || index >= kDocumentTableSize) {
        return nullptr;
    }
    return &table.entries[index];
}

// Fetches the page file from "/loadimg.cgi". The transport leaves no file behind a failed
// download, so a page that did not arrive whole is never left looking fetched.
int DownloadNetworkPage(const MFPInfo& mfp, const DocumentEntry& entry, int page,
                        const std::u16string& folder) {
    const std::string path =
        ToDeviceText(PageFilePath(folder, entry.fileId, page, entry.imageFormat));

    WaitCursor cursor;
    DeviceJob job(TransportTable());
    if (!job.valid()) {
        return 0;
    }
    const HttpXmlTable& table = *job.table();
    const std::string host = ToDeviceText(mfp.IPv4Address);
    Connection* connection =
        table.openConnection != nullptr ? table.openConnection(host.c_str()) : nullptr;
    char fileId[16];
    std::snprintf(fileId, sizeof fileId, "%08X", static_cast<unsigned>(entry.fileId));
    char pageNumber[16];
    std::snprintf(pageNumber, sizeof pageNumber, "%d", page);
    job.SetAttribute("FileID", fileId);
    job.SetAttribute("PageNumber", pageNumber);
    int result = 0;
    if (connection != nullptr && table.downloadToFile != nullptr &&
        table.downloadToFile(connection, static_cast<std::uint16_t>(mfp.httpPortNumber),
                             kPageDownloadPath, job.document(), path.c_str(), 0) != 0) {
        result = 1;
    }
    job.Free();
    if (connection != nullptr && table.closeConnection != nullptr) {
        table.closeConnection(connection);
    }
    return result;
}

}  // namespace

int DownloadPageToFolder(const MFPInfo& mfp, int documentIndex, int page,
                         const std::u16string& folder) {
    if (mfp.isUSB != 0) {
        if (ListedDocument(mfp, documentIndex) == nullptr) {
            return 0;
        }
        return FetchPageData(folder, documentIndex, page, ToU16(mfp.deviceInternalName));
    }
    const DocumentEntry* entry = ListedDocument(mfp, documentIndex);
    if (entry == nullptr || entry->fileId == 0) {
        return 0;
    }
    return DownloadNetworkPage(mfp, *entry, page, folder);
}

namespace DeviceAccess {

int DownloadPageForSave(const MFPInfo& mfp, int documentIndex, int page, PageImageInfo* info) {
    if (DownloadPageToFolder(mfp, documentIndex, page, SaveFolder()) == 0) {
        return 0;
    }
    return GetImageInfo(mfp, documentIndex, page, info);
}

int DownloadPageForPreview(const MFPInfo& mfp, int documentIndex, int page) {
    return DownloadPageToFolder(mfp, documentIndex, page, PreviewFolder());
}

int GetImageInfo(const MFPInfo& mfp, int documentIndex, int page, PageImageInfo* info) {
    const DocumentEntry* entry = ListedDocument(mfp, documentIndex);
    if (entry == nullptr || entry->fileId == 0) {
        return 0;
    }
    const std::uint32_t fileId = entry->fileId;
    PageImageInfo received = info != nullptr ? *info : PageImageInfo{};
    int result = 0;
    RunDeviceJob(
        mfp, kUsbCommandGetImageInfo, UsbLock::Lock,
        [&](DeviceJob& job) {
            job.BuildStorageJob("GETIMAGEINFO", [&] {
                job.AddNumberEx(kElemFileId, fileId);
                job.AddNumberEx(kElemPage, static_cast<std::uint32_t>(page));
            });
        },
        [&](const ResponseNode& node) {
            switch (node.id()) {
                case kElemCode: {
                    const std::int32_t code = node.number(0);
                    result = code == kDeviceSuccess ? 1 : code;
                    return code == kDeviceSuccess;
                }
                case kElemXPixel:
                    received.xPixel = node.number(received.xPixel);
                    return true;
                case kElemYPixel:
                    received.yPixel = node.number(received.yPixel);
                    return true;
                case kElemXResolution:
                    received.xResolution = node.number(received.xResolution);
                    return true;
                case kElemYResolution:
                    received.yResolution = node.number(received.yResolution);
                    return true;
                default:
                    return true;
            }
        });
    if (info != nullptr) {
        *info = received;
    }
    return result;
}

}  // namespace DeviceAccess
