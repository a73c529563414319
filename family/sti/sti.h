#pragma once

// The still-image service: lists the still-image devices that the device registry knows and
// opens a device's raw channel. The program binds `StiCreateInstanceW` from "sti.so" at run
// time and works through the two interfaces below; nothing here is linked at build time.
//
// The device registry is a read-only text file (UTF-8, INI layout) that stands in for the
// registry's device-class keys. Its path is the environment variable VELNOR_STI_REGISTRY, or
// "stidevices.ini" in the folder that holds "sti.so" (the program folder). One section per
// device, named by its key below HKEY_LOCAL_MACHINE:
//
//     [SYSTEM\CurrentControlSet\Control\Class\{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\0000]
//     DeviceDescription=Office MFP (USB)
//     MatchingDeviceId=usb\vid_0f1d&pid_2101
//     RawChannel=/run/user/1000/mfp-0000.sock
//
// The device's internal name is the part of the section name after
// "SYSTEM\CurrentControlSet\Control\Class\". "RawChannel" is the path of the Unix-domain socket
// that carries the device's raw commands and data; a section without it is listed but cannot be
// opened. Section and value names compare without regard to case.

#include <cstdint>

// A result in the HRESULT convention: 0 success, negative failure.
using StiResult = std::int32_t;

namespace sti {

// Version the caller asks for in StiCreateInstanceW: still-image version 2 with the Unicode flag.
inline constexpr std::uint32_t kVersion = 0x01000002;

// CreateDevice modes; the raw channel needs both.
inline constexpr std::uint32_t kModeStatus = 1;
inline constexpr std::uint32_t kModeData = 2;
inline constexpr std::uint32_t kModeStatusAndData = 3;

// GetDeviceList type and flags for "every device".
inline constexpr std::uint32_t kAllDeviceTypes = 0;
inline constexpr std::uint32_t kAllDevices = 0;

// The one escape function the raw channel carries: it announces the command code of the job
// that the next RawWriteCommand sends (input block: 16-bit little-endian code, then 4 zero bytes).
inline constexpr std::uint32_t kCommandEscape = 0x1000;

// Registry value type of a text value.
inline constexpr std::uint32_t kRegistryText = 1;

inline constexpr std::uint32_t kMaxInternalNameLength = 128;

inline constexpr StiResult kOk = 0;
inline constexpr StiResult kNotImplemented = static_cast<StiResult>(0x80004001);
inline constexpr StiResult kFail = static_cast<StiResult>(0x80004005);
inline constexpr StiResult kInvalidArgument = static_cast<StiResult>(0x80070057);
inline constexpr StiResult kOutOfMemory = static_cast<StiResult>(0x8007000E);
inline constexpr StiResult kNotFound = static_cast<StiResult>(0x80070002);      // no such device
inline constexpr StiResult kNotConnected = static_cast<StiResult>(0x8007048F);  // channel gone
inline constexpr StiResult kEndOfData = static_cast<StiResult>(0x80070026);     // stream ended
inline constexpr StiResult kTimeout = static_cast<StiResult>(0x800705B4);       // no answer in time
inline constexpr StiResult kLockTimeout = static_cast<StiResult>(0x80070020);   // device busy

}  // namespace sti

// One device of the list that GetDeviceList returns. The texts are zero-terminated UTF-16 and
// live in the same buffer as the records.
struct STI_DEVICE_INFORMATIONW {
    std::uint32_t dwSize;      // sizeof(STI_DEVICE_INFORMATIONW)
    std::uint32_t DeviceType;  // 1: a scanner
    char16_t szDeviceInternalName[sti::kMaxInternalNameLength];
    std::uint32_t DeviceCapabilities;
    std::uint32_t dwHardwareConfiguration;  // 4: USB
    const char16_t* pszVendorDescription;
    const char16_t* pszDeviceDescription;
    const char16_t* pszPortName;  // the raw channel's socket path
    const char16_t* pszPropProvider;
    const char16_t* pszLocalName;
};

// One opened device: its raw channel, a connection to the device's Unix-domain socket made by
// CreateDevice. Every operation blocks at most the channel's time-out (VELNOR_STI_TIMEOUT_MS,
// default 30000 ms) and returns a result; none throws.
class IStiDevice {
  public:
    // Reference counting: the object is created with one reference; the last Release closes the
    // channel (and gives up a held lock) and deletes the object. Both return the new count.
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

    // Takes the device's lock for this object, waiting at most `timeoutMs` milliseconds for
    // another holder to give it up; kLockTimeout when it did not. Taking a lock already held
    // by this object succeeds. UnLockDevice gives it up; without a held lock it does nothing.
    virtual StiResult LockDevice(std::uint32_t timeoutMs) = 0;
    virtual StiResult UnLockDevice() = 0;

    // Sends an escape to the device. Only sti::kCommandEscape is carried (input block of at
    // least 2 bytes); any other function answers kNotImplemented and sends nothing. There is
    // no output: `outSize` is ignored and *outUsed (when given) becomes 0.
    virtual StiResult Escape(std::uint32_t function, const void* in, std::uint32_t inSize,
                             void* out, std::uint32_t outSize, std::uint32_t* outUsed) = 0;

    // Writes `size` bytes of a raw command to the device in one piece. The caller keeps the
    // bytes. `overlapped` must be null. Fails with kNotConnected when the channel is gone.
    virtual StiResult RawWriteCommand(const void* data, std::uint32_t size, void* overlapped) = 0;

    // Reads exactly *size bytes of the device's answer into `buffer`, waiting for all of them;
    // *size becomes the number of bytes read. When the channel ends or stalls before the count
    // is complete, the result is a failure (kEndOfData, kTimeout) and *size tells how many bytes
    // did arrive; the buffer holds them. `overlapped` must be null.
    virtual StiResult RawReadData(void* buffer, std::uint32_t* size, void* overlapped) = 0;

  protected:
    virtual ~IStiDevice() = default;
};

// The still-image service object.
class IStillImage {
  public:
    // Reference counting as for IStiDevice; the last Release frees the device list buffer.
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

    // Lists the devices of the device registry. *count receives the number of records and
    // *buffer a buffer of that many STI_DEVICE_INFORMATIONW records (null when there are none).
    // The buffer belongs to this object: it stays valid until the next GetDeviceList or the
    // last Release. A registry file that is absent lists no devices and succeeds; one that
    // cannot be read fails with *count 0 and *buffer null.
    virtual StiResult GetDeviceList(std::uint32_t type, std::uint32_t flags, std::uint32_t* count,
                                    void** buffer) = 0;

    // Opens the raw channel of the device `internalName` in `mode` (sti::kModeStatusAndData)
    // and stores a new device object in *device (null on failure). `outer` must be null.
    // kNotFound when the registry has no such device or no "RawChannel" for it; kNotConnected
    // when nobody serves its socket.
    virtual StiResult CreateDevice(const char16_t* internalName, std::uint32_t mode,
                                   IStiDevice** device, void* outer) = 0;

    // Reads the text value `valueName` of the device `internalName` from the device registry,
    // the way a registry value query reads "SYSTEM\CurrentControlSet\Control\Class\" followed
    // by the internal name. With `data` null, *size becomes the value's size in bytes (UTF-16,
    // terminating zero included). Otherwise up to *size bytes are written: the value, cut to
    // fit, always zero-terminated; *size becomes the bytes written. *type (when given) becomes
    // sti::kRegistryText. kNotFound when the device or value is absent.
    virtual StiResult GetDeviceValue(const char16_t* internalName, const char16_t* valueName,
                                     std::uint32_t* type, void* data, std::uint32_t* size) = 0;

  protected:
    virtual ~IStillImage() = default;
};

// The one export of "sti.so". Creates a still-image object for `version` (sti::kVersion) in
// *stillImage; the caller owns the reference and calls Release. `module` is the caller's
// module (unused); `outer` must be null. On failure *stillImage is null and the result is
// negative (kInvalidArgument for a null out pointer or an unknown version).
extern "C" StiResult StiCreateInstanceW(void* module, std::uint32_t version,
                                        IStillImage** stillImage, void* outer);

using StiCreateInstanceWFunction = StiResult (*)(void* module, std::uint32_t version,
                                                 IStillImage** stillImage, void* outer);
