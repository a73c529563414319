// ListDocuments, the document columns, the sort by time and DeleteDocument.

#include <string>

#include "device/deviceaccess.h"
#include "device/documentsort.h"
#include "device/jobexchange.h"
#include "device/selectedmfp.h"
#include "device/textkey.h"
#include "device/usb/usbpath.h"

namespace {

QString FieldText(const char16_t* field, int units) {
    qsizetype length = 0;
    while (length < units - 1 && field[length] != u'\0') {
        ++length;
    }
    return QString(reinterpret_cast<const QChar*>(field), length);
}

int ValidCount(const DocumentTable& table) {
    return table.count < 0                    ? 0
           : table.count > kDocumentTableSize ? kDocumentTableSize
                                              : table.count;
}

// Reads one element of a document-list response into the current entry.
void ReadDocumentField(const ResponseNode& node, DocumentEntry& entry) {
    switch (node.id()) {
        case kElemAttribute:
            entry.attribute = node.numberEx(entry.attribute);
            break;
        case kElemFolderId:
            entry.folderId = node.numberEx(entry.folderId);
            break;
        case kElemFileId:
            entry.fileId = node.numberEx(entry.fileId);
            break;
        case kElemFolderName:
            CopyTextToField(node.text(), entry.folderName, kNameUnits);
            break;
        case kElemFileName:
            CopyTextToField(node.text(), entry.fileName, kNameUnits);
            break;
        case kElemTimestamp:
            CopyTextToField(node.text(), entry.timestamp, kTimestampUnits);
            break;
        case kElemPages:
            entry.pages = node.number(entry.pages);
            break;
        case kElemImageFormat:
            entry.imageFormat = node.number(entry.imageFormat);
            break;
        default:
            break;
    }
}

}  // namespace

namespace DeviceAccess {

int ListDocuments(const MFPInfo& mfp, std::uint32_t treeKey, int index, const QString& password,
                  std::int32_t* code) {
    const BoxTable& boxes = BoxTableFor(mfp);
    const int boxIndex = treeKey != 0 ? FindBoxIndex(mfp, treeKey) : index;
    if (boxIndex <= 0 || boxIndex >= boxes.count || boxIndex >= kBoxTableSize) {
        return 0;
    }
    const BoxEntry box = boxes.entries[boxIndex];
    DocumentTable& table = DocumentTableFor(mfp);
    table.count = -1;
    if (box.folderId == 0) {
        return 0;
    }

    const std::string boxPassword = ToDeviceText(password);
    int result = 0;
    const bool walked = RunDeviceJob(
        mfp, kUsbCommandList, UsbLock::UnlockThenLock,
        [&](DeviceJob& job) {
            job.BuildStorageJob("LIST", [&] {
                if ((box.attribute & kBoxNeedsPasswordBit) != 0) {
                    job.AddText(kElemPassword, boxPassword.c_str());
                }
                job.AddNumberEx(kElemFolderId, box.folderId);
            });
        },
        [&](const ResponseNode& node) {
            const int id = node.id();
            if (id == kElemCode) {
                const std::int32_t value = node.number(0);
                if (value == kDeviceSuccess) {
                    result = 1;
                    return true;
                }
                if (code != nullptr) {
                    *code = value;
                }
                return false;
            }
            if (id == kElemFile || id == kElemFolder) {
                if (table.count + 1 >= kDocumentTableSize) {
                    return false;
                }
                ++table.count;
                table.entries[table.count] = DocumentEntry{};
                result = 1;
                return true;
            }
            if (table.count >= 0) {
                ReadDocumentField(node, table.entries[table.count]);
            }
            return true;
        });
    if (walked) {
        ++table.count;
    }
    return result;
}

void DocumentColumns(const MFPInfo& mfp, QStringList& fileNames, QStringList& timestamps,
                     QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats) {
    const DocumentTable& table = DocumentTableFor(mfp);
    const int count = ValidCount(table);
    for (int i = 0; i < count; ++i) {
        const DocumentEntry& entry = table.entries[i];
        fileNames.append(FieldText(entry.fileName, kNameUnits));
        timestamps.append(FieldText(entry.timestamp, kTimestampUnits));
        pages.append(QString::number(entry.pages));
    }
    if (table.count > 0 && table.count <= kDocumentTableSize) {
        for (int i = 0; i < table.count; ++i) {
            formats[i] = table.entries[i].imageFormat;
        }
    }
}

void SortDocumentsByTime(const MFPInfo& mfp, QStringList& fileNames, QStringList& timestamps,
                         QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats) {
    SortDocumentColumns(DocumentTableFor(mfp), fileNames, timestamps, pages, formats);
}

int DeleteDocument(const MFPInfo& mfp, int documentIndex, std::int32_t* code) {
    const DocumentTable& table = DocumentTableFor(mfp);
    if (documentIndex < 0 || documentIndex >= ValidCount(table)) {
        return 0;
    }
    const std::uint32_t fileId = table.entries[documentIndex].fileId;
    if (fileId == 0) {
        return 0;
    }
    int result = 0;
    RunDeviceJob(
        mfp, kUsbCommandDelete, UsbLock::Lock,
        [&](DeviceJob& job) {
            job.BuildStorageJob("DELETE", [&] { job.AddNumberEx(kElemFileId, fileId); });
        },
        [&](const ResponseNode& node) {
            if (node.id() != kElemCode) {
                return true;
            }
            const std::int32_t value = node.number(0);
            if (value == kDeviceSuccess) {
                result = 1;
                return true;
            }
            if (code != nullptr) {
                *code = value;
            }
            return false;
        });
    return result;
}

}  // namespace DeviceAccess
