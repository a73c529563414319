#include "family/sti/stillimage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "family/sti/rawdevice.h"
#include "family/sti/utf16text.h"

namespace sti {
namespace {

constexpr std::uint32_t kScannerDeviceType = 1;
constexpr std::uint32_t kUsbHardware = 4;

bool SameNameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

}  // namespace

StillImage::StillImage(std::string programFolder) : programFolder_(std::move(programFolder)) {}

std::uint32_t StillImage::AddRef() {
    return ++references_;
}

std::uint32_t StillImage::Release() {
    const std::uint32_t left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

StiResult StillImage::GetDeviceList(std::uint32_t /*type*/, std::uint32_t /*flags*/,
                                    std::uint32_t* count, void** buffer) {
    if (count == nullptr || buffer == nullptr) {
        return kInvalidArgument;
    }
    *count = 0;
    *buffer = nullptr;
    try {
        records_.clear();
        texts_.clear();
        const DeviceRegistryRead registry = ReadDeviceRegistry(DeviceRegistryPath(programFolder_));
        if (registry.status == RegistryStatus::Unreadable) {
            return kFail;
        }
        // Every text is made before any pointer into them is taken.
        struct Texts {
            std::u16string internalName, description, vendor, port;
        };
        std::vector<Texts> made;
        for (const DeviceRegistryEntry& device : registry.devices) {
            const auto text = [&device](std::string_view name) {
                const std::string* value = device.find(name);
                return value != nullptr ? Utf8ToUtf16(*value) : std::u16string();
            };
            Texts texts{Utf8ToUtf16(device.internalName), text("DeviceDescription"),
                        text("VendorDescription"), text("RawChannel")};
            // A name the record cannot hold could not be opened by it either.
            if (texts.internalName.size() < kMaxInternalNameLength) {
                made.push_back(std::move(texts));
            }
        }
        texts_.reserve(made.size() * 4);
        for (Texts& texts : made) {
            texts_.push_back(std::move(texts.description));
            texts_.push_back(std::move(texts.vendor));
            texts_.push_back(std::move(texts.port));
            STI_DEVICE_INFORMATIONW record{};
            record.dwSize = sizeof record;
            record.DeviceType = kScannerDeviceType;
            std::copy(texts.internalName.begin(), texts.internalName.end(),
                      record.szDeviceInternalName);
            record.dwHardwareConfiguration = kUsbHardware;
            record.pszDeviceDescription = texts_[texts_.size() - 3].c_str();
            record.pszVendorDescription = texts_[texts_.size() - 2].c_str();
            record.pszPortName = texts_[texts_.size() - 1].c_str();
            record.pszPropProvider = u"";
            record.pszLocalName = record.pszDeviceDescription;
            records_.push_back(record);
        }
    } catch (...) {
        records_.clear();
        texts_.clear();
        return kOutOfMemory;
    }
    *count = static_cast<std::uint32_t>(records_.size());
    *buffer = records_.empty() ? nullptr : records_.data();
    return kOk;
}

StiResult StillImage::findDevice(const char16_t* internalName, DeviceRegistryEntry& entry) const {
    const std::string wanted = Utf16ToUtf8(internalName);
    const DeviceRegistryRead registry = ReadDeviceRegistry(DeviceRegistryPath(programFolder_));
    if (registry.status == RegistryStatus::Unreadable) {
        return kFail;
    }
    for (const DeviceRegistryEntry& device : registry.devices) {
        if (SameNameNoCase(device.internalName, wanted)) {
            entry = device;
            return kOk;
        }
    }
    return kNotFound;
}

StiResult StillImage::CreateDevice(const char16_t* internalName, std::uint32_t mode,
                                   IStiDevice** device, void* outer) {
    if (device == nullptr) {
        return kInvalidArgument;
    }
    *device = nullptr;
    if (internalName == nullptr || outer != nullptr || mode == 0 || mode > kModeStatusAndData) {
        return kInvalidArgument;
    }
    try {
        DeviceRegistryEntry entry;
        const StiResult found = findDevice(internalName, entry);
        if (found != kOk) {
            return found;
        }
        const std::string* channel = entry.find("RawChannel");
        if (channel == nullptr || channel->empty()) {
            return kNotFound;
        }
        return RawDevice::Open(*channel, device);
    } catch (...) {
        return kOutOfMemory;
    }
}

StiResult StillImage::GetDeviceValue(const char16_t* internalName, const char16_t* valueName,
                                     std::uint32_t* type, void* data, std::uint32_t* size) {
    if (internalName == nullptr || valueName == nullptr || size == nullptr) {
        return kInvalidArgument;
    }
    try {
        DeviceRegistryEntry entry;
        const StiResult found = findDevice(internalName, entry);
        if (found != kOk) {
            return found;
        }
        const std::string* value = entry.find(Utf16ToUtf8(valueName));
        if (value == nullptr) {
            return kNotFound;
        }
        const std::u16string text = Utf8ToUtf16(*value);
        const std::size_t needed = (text.size() + 1) * sizeof(char16_t);
        if (type != nullptr) {
            *type = kRegistryText;
        }
        if (data == nullptr) {
            *size = static_cast<std::uint32_t>(needed);
            return kOk;
        }
        const std::size_t units = *size / sizeof(char16_t);
        if (units == 0) {
            return kInvalidArgument;
        }
        const std::size_t copied = std::min(text.size(), units - 1);
        auto* out = static_cast<char16_t*>(data);
        std::memcpy(out, text.data(), copied * sizeof(char16_t));
        out[copied] = 0;
        *size = static_cast<std::uint32_t>((copied + 1) * sizeof(char16_t));
        return kOk;
    } catch (...) {
        return kOutOfMemory;
    }
}

}  // namespace sti
