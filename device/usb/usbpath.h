#pragma once
// The USB path: the maker's still-image devices for the MFP selection, and the same XML jobs as
// the network path carried over a device's raw channel. Page images come back in chunks after
// GETDATA jobs. Without a bound still-image library every operation fails and nothing is listed.

#include <QStringList>
#include <cstdint>
#include <string_view>

#include "family/sti/sti.h"

class DeviceJob;

// USB command codes, one per job.
inline constexpr std::uint32_t kUsbCommandList = 0x60;
inline constexpr std::uint32_t kUsbCommandGetData = 0x62;
inline constexpr std::uint32_t kUsbCommandDelete = 0x64;
inline constexpr std::uint32_t kUsbCommandGetImageInfo = 0x65;
inline constexpr std::uint32_t kUsbCommandGetFile = 0x68;

// The escape that announces a job's command code.
inline constexpr std::uint32_t UsbCommandEscape = 0x1000;

// The lock time-out each job holds the device with.
inline constexpr std::uint32_t kUsbLockTimeoutMs = 1000;

// The USB vendor id text of the maker's devices ("vid_" and four hexadecimal digits), fixed at
// build time.
const char16_t* VendorIdText();

// Whether a device's "MatchingDeviceId" text names the maker (contains VendorIdText,
// case-sensitive).
bool IsUsbDeviceOfMaker(std::u16string_view matchingDeviceId);

// Appends, for every still-image device of the maker, its description, its internal name and
// an empty text to the three lists. Uses a still-image object of its own and releases it; a
// failing service lists nothing.
void EnumerateUsbDevices(QStringList& descriptions, QStringList& internalNames,
                         QStringList& addresses);

// Creates the process-wide still-image object and opens the device `internalName` into the
// process-wide device object. True when the device object exists afterwards; on failure both
// objects are released again.
bool OpenStiDevice(std::u16string_view internalName);

// The process-wide device object, or null between jobs.
IStiDevice* CurrentStiDevice();

// Releases the process-wide device and still-image objects and marks both empty.
void ReleaseStiDevice();

// Encodes the job's request and writes it to the open device, announced by the command escape
// (or as the 12-byte fallback block when the device does not implement the escape). True on
// success. The job keeps its request.
bool SendJob(DeviceJob& job);

// Empties the job and reads the device's length-framed answer into it. True when a non-empty
// answer arrived whole and was parsed into the job.
bool ReceiveJob(DeviceJob& job);

// SendJob, then ReceiveJob when the send succeeded.
bool ExchangeJob(DeviceJob& job);

// Fetches one page of the USB DocumentTable entry `documentIndex` into `folder` as its page
// file with GETFILE and GETDATA jobs. Returns 1 when the page file was written completely, 0
// otherwise. The page file is created or truncated, so no older bytes survive behind the page;
// a page that did not arrive whole is removed and never reported as fetched. An index outside
// the table, fileId 0 or a refused GETFILE creates no file.
int FetchPageData(std::u16string_view folder, int documentIndex, int page,
                  std::u16string_view internalName);
