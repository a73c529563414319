#pragma once
// The fixed tables in which the device access layer keeps what it knows of the selected MFP's
// storage: its boxes and the documents of the box listed last. One pair of tables serves the
// network path and one the USB path; both live for the whole process and every listing of a
// path overwrites that path's pair.

#include <cstdint>

struct MFPInfo;

inline constexpr int kBoxTableSize = 128;
inline constexpr int kDocumentTableSize = 256;
inline constexpr int kNameUnits = 17;       // 16 characters and a terminating zero
inline constexpr int kTimestampUnits = 25;  // 24 characters and a terminating zero

// Bit of a box attribute that marks a password-protected box.
inline constexpr std::uint32_t kBoxNeedsPasswordBit = 0x10;

// One storage box. Entry 0 of a BoxTable is the device itself.
struct BoxEntry {
    std::uint32_t treeKey = 0;  // written by the user interface after each box listing
    std::uint32_t folderId = 0;
    char16_t name[kNameUnits] = {};
    std::uint32_t attribute = 0;
};

struct BoxTable {
    BoxEntry entries[kBoxTableSize];
    std::int32_t count = 0;
};

// One stored document; fileId 0 means no document.
struct DocumentEntry {
    std::uint32_t attribute = 0;
    std::uint32_t folderId = 0;
    char16_t folderName[kNameUnits] = {};
    std::uint32_t fileId = 0;
    char16_t fileName[kNameUnits] = {};
    char16_t timestamp[kTimestampUnits] = {};
    std::int32_t pages = 0;
    std::int32_t imageFormat = 0;  // 0 black-and-white (TIFF pages), 1 colour (JPEG pages)
};

struct DocumentTable {
    DocumentEntry entries[kDocumentTableSize];
    std::int32_t count =
        0;  // entries after a listing that got a response; -1 after one that did not
};

// The process-wide tables of one path. The references stay valid for the whole process; the
// user interface may write treeKey of the box entries and must otherwise only read them.
BoxTable& NetworkBoxTable();
DocumentTable& NetworkDocumentTable();
BoxTable& UsbBoxTable();
DocumentTable& UsbDocumentTable();

// The tables of the path mfp selects: USB when its isUSB is non-zero, network otherwise.
BoxTable& BoxTableFor(const MFPInfo& mfp);
DocumentTable& DocumentTableFor(const MFPInfo& mfp);

// Copies UTF-8 text into a fixed UTF-16 field of `units` code units, keeping at most units - 1
// of them and a terminating zero. A cut never splits a surrogate pair. Null text clears the field.
void CopyTextToField(const char* utf8, char16_t* field, int units);
