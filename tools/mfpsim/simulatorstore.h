#pragma once
// The simulator's storage: boxes and documents kept in a folder on disk, in the layout written
// down in docs/simulator.md:
//
//   <root>/device.txt                         name=<device name>
//   <root>/box-<folderId>/box.txt             name=, attribute=, password=
//   <root>/box-<folderId>/doc-<FILEID>/document.txt
//                                             fileName=, timestamp=, imageFormat=, pages=,
//                                             xPixel=, yPixel=, xResolution=, yResolution=
//   <root>/box-<folderId>/doc-<FILEID>/page-<n>.jpg   (colour) or page-<n>.tif (black-and-white)
//
// <folderId> is decimal, <FILEID> eight upper-case hexadecimal digits. Every call reads the
// disk afresh, so a test may change the store while the simulator runs. The class holds no
// lock; callers serialise access.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct StoredBox {
    std::uint32_t folderId = 0;
    std::string name;
    std::uint32_t attribute = 1;  // bit 0x10: the box needs a password
    std::string password;         // empty: none
};

struct StoredDocument {
    std::uint32_t fileId = 0;
    std::uint32_t folderId = 0;
    std::string fileName;   // the file number shown to the user
    std::string timestamp;  // "YYYY/MM/DD HH:MM:SS"
    int imageFormat = 1;    // 0 black-and-white (TIFF pages), 1 colour (JPEG pages)
    int pages = 0;
    std::int32_t xPixel = 0;
    std::int32_t yPixel = 0;
    std::int32_t xResolution = 0;
    std::int32_t yResolution = 0;
    std::uint32_t attribute = 0;
};

class SimulatorStore {
  public:
    explicit SimulatorStore(std::filesystem::path root);

    const std::filesystem::path& root() const { return root_; }

    // The device's name ("Velnor MFP" when the store names none).
    std::string deviceName() const;
    // Boxes in ascending folder id. Unreadable box folders are skipped.
    std::vector<StoredBox> boxes() const;
    std::optional<StoredBox> findBox(std::uint32_t folderId) const;
    // Documents of the box in ascending file id.
    std::vector<StoredDocument> documents(std::uint32_t folderId) const;
    std::optional<StoredDocument> findDocument(std::uint32_t fileId) const;
    // The page file of a document; empty when the page is out of range.
    std::filesystem::path pagePath(const StoredDocument& document, int page) const;

    // Removes the document and its pages from the store for good. False when there is none or
    // it could not be removed.
    bool deleteDocument(std::uint32_t fileId);

    // Writing, for seeding and for tests. Each returns false when the disk refuses; a document
    // whose pages could not all be written is removed again. addDocument needs the box to exist,
    // takes the page count from pageBytes (one string of file bytes a page) and replaces a
    // document of the same file id in that box.
    bool setDeviceName(const std::string& name);
    bool addBox(const StoredBox& box);
    bool addDocument(const StoredDocument& document, const std::vector<std::string>& pageBytes);

  private:
    std::filesystem::path boxFolder(std::uint32_t folderId) const;
    std::optional<std::filesystem::path> documentFolder(std::uint32_t fileId) const;

    std::filesystem::path root_;
};

// "%08X" of the file id, as the page download names it.
std::string fileIdHex(std::uint32_t fileId);
