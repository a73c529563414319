#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "device/devicejob.h"
#include "device/devicelibraries.h"
#include "device/devicetables.h"
#include "device/pagefile.h"
#include "device/textkey.h"
#include "device/usb/usbpath.h"
#include "device/waitcursor.h"

namespace {

// Codes from 600 to 603 keep a page transfer going; 603 marks its last chunk.
bool IsTransferCode(std::int32_t code) {
    return code >= 600 && code <= 603;
}
constexpr std::int32_t kLastChunkCode = 603;

// A chunk is read and written in pieces of at most this size, whatever size the device
// announces, so a page is never held whole in memory.
constexpr std::uint32_t kPieceBytes = 1u << 20;

// Largest page file accepted over USB, as over the network: a device that keeps sending chunks
// must not fill the disk. A chunk that would pass it is refused before any of it is read.
constexpr std::uint64_t kMaxPageBytes = 512ull << 20;

// GETDATA answers that carry no data before the transfer is given up, so that a device that
// keeps answering "more to come" without data cannot hold the job forever.
constexpr int kMaxEmptyAnswers = 10000;

// The page file being written; removed again unless the page arrived whole.
class PageFileWriter {
  public:
    explicit PageFileWriter(std::string path) : path_(std::move(path)) {}
    ~PageFileWriter() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
        if (opened_ && !complete_) {
            std::remove(path_.c_str());
        }
    }

    // Creates the file, or truncates an older one of the same name.
    bool Open() {
        if (path_.empty()) {
            return false;
        }
        file_ = std::fopen(path_.c_str(), "wb");
        opened_ = file_ != nullptr;
        return opened_;
    }

    bool Write(const char* bytes, std::uint32_t size) {
        return std::fwrite(bytes, 1, size, file_) == size;
    }

    // Closes the file; the page counts as whole only when every byte reached it.
    bool Finish() {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        complete_ = closed;
        return complete_;
    }

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    bool complete_ = false;
};

// Reads a chunk of `size` bytes from the device and appends it to the page file.
bool CopyChunk(IStiDevice& device, std::uint32_t size, PageFileWriter& file) {
    const std::uint32_t bufferSize = std::min(size, kPieceBytes);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[bufferSize]);
    if (!buffer) {
        return false;
    }
    std::uint32_t left = size;
    while (left > 0) {
        std::uint32_t count = std::min(left, bufferSize);
        const std::uint32_t wanted = count;
        if (device.RawReadData(buffer.get(), &count, nullptr) < 0 || count != wanted ||
            !file.Write(buffer.get(), count)) {
            return false;
        }
        left -= count;
    }
    return true;
}

// The GETDATA loop: asks for chunks until the device marks the last one. True when it did and
// every chunk reached the file.
bool TransferChunks(DeviceJob& job, PageFileWriter& file) {
    int emptyAnswers = 0;
    std::uint64_t received = 0;
    for (;;) {
        job.Clear();
        job.SetVersion();
        job.SetCommandCode(kUsbCommandGetData);
        job.BuildStorageJob("GETDATA");
        if (!ExchangeJob(job)) {
            return false;
        }
        bool ok = false;
        std::int32_t lastCode = 0;
        std::uint32_t chunkSize = 0;
        job.Walk([&](const ResponseNode& node) {
            switch (node.id()) {
                case kElemCode:
                    lastCode = node.number(0);
                    ok = IsTransferCode(lastCode);
                    return ok;
                case kElemDataSize:
                    chunkSize = node.numberEx(chunkSize);
                    return true;
                default:
                    return true;
            }
        });
        if (!ok) {
            return false;
        }
        if (chunkSize != 0) {
            IStiDevice* device = CurrentStiDevice();
            if (chunkSize > kMaxPageBytes - received || device == nullptr ||
                !CopyChunk(*device, chunkSize, file)) {
                return false;
            }
            received += chunkSize;
            emptyAnswers = 0;
        } else if (++emptyAnswers > kMaxEmptyAnswers) {
            return false;
        }
        if (lastCode == kLastChunkCode) {
            return true;
        }
    }
}

}  // namespace

int FetchPageData(std::u16string_view folder, int documentIndex, int page,
                  std::u16string_view internalName) {
    const DocumentTable& table = UsbDocumentTable();
    if (documentIndex < 0 || documentIndex >= kDocumentTableSize) {
        return 0;
    }
    const DocumentEntry& entry = table.entries[documentIndex];
    if (entry.fileId == 0) {
        return 0;
    }
    const std::u16string path = PageFilePath(folder, entry.fileId, page, entry.imageFormat);

    WaitCursor cursor;
    DeviceJob job(TransportTable());
    if (!job.valid()) {
        return 0;
    }
    job.SetCommandCode(kUsbCommandGetFile);
    job.SetVersion();
    job.BuildStorageJob("GETFILE", [&] {
        job.AddNumberEx(kElemFileId, entry.fileId);
        job.AddNumber(kElemPageNumber, page);
    });
    if (CurrentStiDevice() == nullptr && !OpenStiDevice(internalName)) {
        return 0;
    }
    IStiDevice* device = CurrentStiDevice();
    device->LockDevice(kUsbLockTimeoutMs);

    int result = 0;
    if (ExchangeJob(job)) {
        bool ok = false;
        job.Walk([&](const ResponseNode& node) {
            if (node.id() != kElemCode) {
                return true;
            }
            ok = IsTransferCode(node.number(0));
            return ok;
        });
        if (ok) {
            PageFileWriter file(ToDeviceText(path));
            if (file.Open() && TransferChunks(job, file) && file.Finish()) {
                result = 1;
            }
        }
    }

    device->UnLockDevice();
    ReleaseStiDevice();
    job.Free();
    return result;
}
