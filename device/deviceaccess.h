#pragma once
// The device access layer: box and document listing, delete, page download and image
// information for the selected MFP. Every operation takes the selected-MFP group and takes the
// USB path when its isUSB is non-zero, the network path otherwise; each path has its own pair
// of tables (devicetables.h). Operations that talk to the device return 1 for success, 0 when
// no usable answer came, or the device's result code; none shows a message or throws.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

#include "device/devicetables.h"

struct MFPInfo;
struct PageImageInfo;

// The device's success code.
inline constexpr std::int32_t kDeviceSuccess = 600;

namespace DeviceAccess {

// Lists the boxes of the MFP into its path's BoxTable and replaces `names` with the names of
// entries 0 to count - 1 (entry 0 is the device itself, named by its address or "USB", or by
// the ROOTNAME the device sends). Returns 1 on success, 0 when no usable response came (count
// 0, names empty), or the device's result code that stopped the walk (entries read before it
// stay). The tree keys of the previous listing are lost.
int ListBoxes(const MFPInfo& mfp, QStringList& names);

// Appends the names of entries 0 to count - 1 of the path's BoxTable; sends nothing.
void CurrentBoxNames(const MFPInfo& mfp, QStringList& names);

// The name of entry `index` of the path's BoxTable; an index outside 0 to count - 1 gives
// an empty text.
QString BoxName(const MFPInfo& mfp, int index);

// 0 for key 0; otherwise the index of the first box entry whose treeKey equals the key, or -1.
int FindBoxIndex(const MFPInfo& mfp, std::uint32_t treeKey);

// True when the box found as by FindBoxIndex needs a password (attribute bit 0x10); false
// when no entry matches.
bool BoxNeedsPassword(const MFPInfo& mfp, std::uint32_t treeKey);

// Lists the documents of one box into the path's DocumentTable. The box is the entry whose
// treeKey matches a non-zero key, else the entry at `index`. The password (at most 4
// characters are meaningful) is sent only for a box that needs one. Returns 1 on success and
// 0 otherwise; a device refusal stores the device's result code in *code when code is given.
// The root entry, an unknown key or index, or a box with folderId 0 returns 0 without a
// request. Without a response the table count is -1.
int ListDocuments(const MFPInfo& mfp, std::uint32_t treeKey, int index, const QString& password,
                  std::int32_t* code);

// Appends fileName, timestamp and page count ("%d") of entries 0 to count - 1 of the path's
// DocumentTable to the three lists, and copies imageFormat into `formats` when
// 0 < count <= 256.
void DocumentColumns(const MFPInfo& mfp, QStringList& fileNames, QStringList& timestamps,
                     QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats);

// Sorts the four lists in step by timestamp, oldest first (a bubble sort over neighbours);
// a pair where either timestamp does not parse as a date is never swapped and equal times keep
// their order. Swapped timestamps are rewritten as "%Y/%m/%d %H:%M:%S", and fileId and
// imageFormat of the path's DocumentTable entries move with their documents, so that position
// j of the lists and entry j of the table name the same document for download and delete.
void SortDocumentsByTime(const MFPInfo& mfp, QStringList& fileNames, QStringList& timestamps,
                         QStringList& pages, std::span<std::int32_t, kDocumentTableSize> formats);

// Deletes the document at `documentIndex` of the path's DocumentTable from its box. Returns 1
// on success and 0 otherwise; a device refusal stores its result code in *code when given. An
// index outside the table or an entry whose fileId is 0 returns 0 without a request. The table
// is left as it was: the caller lists the box again.
int DeleteDocument(const MFPInfo& mfp, int documentIndex, std::int32_t* code);

// Downloads one page of a document into SaveFolder as its page file (<folder>/%08X_%d.jpg or
// .tif) and then asks for the page's image information into *info. Returns 0 when the page
// file could not be fetched (no image information is asked then), otherwise the result of
// GetImageInfo. A page file that did not arrive whole is removed and reported as 0; an older
// file of the same name is replaced.
int DownloadPageForSave(const MFPInfo& mfp, int documentIndex, int page, PageImageInfo* info);

// Downloads one page of a document into PreviewFolder as its page file. Returns 1 when the
// page file arrived whole, 0 otherwise (a partial file is removed).
int DownloadPageForPreview(const MFPInfo& mfp, int documentIndex, int page);

// Asks the device for the pixel size and resolution of one page. Fields whose element arrives
// are written into *info, the others keep their values. Returns 1 on success, 0 without a
// usable response (fileId 0 or a bad index sends nothing), or the device's result code.
int GetImageInfo(const MFPInfo& mfp, int documentIndex, int page, PageImageInfo* info);

}  // namespace DeviceAccess
