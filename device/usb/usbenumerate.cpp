#include <QString>
#include <string>
#include <vector>

#include "device/devicelibraries.h"
#include "device/usb/usbpath.h"

#ifndef VELNOR_USB_VENDOR_ID
#define VELNOR_USB_VENDOR_ID "vid_0f1d"
#endif

namespace {

constexpr std::uint32_t kMatchingIdBytes = 2048;

// The UTF-16 form of the build setting; the vendor id text is ASCII.
std::u16string VendorIdFromBuild() {
    std::u16string text;
    for (const char* p = VELNOR_USB_VENDOR_ID; *p != '\0'; ++p) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return text;
}

// A device's "MatchingDeviceId", read into a buffer of 2048 bytes (a longer value is cut).
std::u16string MatchingDeviceId(IStillImage& service, const char16_t* internalName) {
    std::uint32_t size = 0;
    if (service.GetDeviceValue(internalName, u"MatchingDeviceId", nullptr, nullptr, &size) < 0) {
        return {};
    }
    std::vector<char16_t> buffer(kMatchingIdBytes / sizeof(char16_t), u'\0');
    std::uint32_t bytes = kMatchingIdBytes;
    std::uint32_t type = 0;
    if (service.GetDeviceValue(internalName, u"MatchingDeviceId", &type, buffer.data(), &bytes) <
        0) {
        return {};
    }
    buffer.back() = u'\0';
    return std::u16string(buffer.data());
}

QString FieldText(const char16_t* text, std::size_t maxUnits) {
    if (text == nullptr) {
        return {};
    }
    std::size_t length = 0;
    while (length < maxUnits && text[length] != u'\0') {
        ++length;
    }
    return QString(reinterpret_cast<const QChar*>(text), static_cast<qsizetype>(length));
}

}  // namespace

const char16_t* VendorIdText() {
    static const std::u16string text = VendorIdFromBuild();
    return text.c_str();
}

bool IsUsbDeviceOfMaker(std::u16string_view matchingDeviceId) {
    return matchingDeviceId.find(VendorIdText()) != std::u16string_view::npos;
}

void EnumerateUsbDevices(QStringList& descriptions, QStringList& internalNames,
                         QStringList& addresses) {
    StiCreateInstanceWFunction create = StiCreateInstanceEntry();
    if (create == nullptr) {
        return;
    }
    IStillImage* service = nullptr;
    if (create(nullptr, sti::kVersion, &service, nullptr) < 0 || service == nullptr) {
        return;
    }
    std::uint32_t count = 0;
    void* buffer = nullptr;
    if (service->GetDeviceList(sti::kAllDeviceTypes, sti::kAllDevices, &count, &buffer) >= 0 &&
        buffer != nullptr) {
        const auto* records = static_cast<const STI_DEVICE_INFORMATIONW*>(buffer);
        for (std::uint32_t i = 0; i < count; ++i) {
            const STI_DEVICE_INFORMATIONW& record = records[i];
            // The internal name is a fixed field; never read past it.
            const QString internalName =
                FieldText(record.szDeviceInternalName, sti::kMaxInternalNameLength);
            if (internalName.size() >= static_cast<qsizetype>(sti::kMaxInternalNameLength)) {
                continue;
            }
            if (!IsUsbDeviceOfMaker(MatchingDeviceId(*service, record.szDeviceInternalName))) {
                continue;
            }
            descriptions.append(FieldText(record.pszDeviceDescription, 4096));
            internalNames.append(internalName);
            addresses.append(QString());
        }
    }
    service->Release();
}
