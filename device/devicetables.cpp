#include "device/devicetables.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "device/selectedmfp.h"
#include "platform/textconv.h"

namespace {

BoxTable networkBoxes;
DocumentTable networkDocuments;
BoxTable usbBoxes;
DocumentTable usbDocuments;

}  // namespace

BoxTable& NetworkBoxTable() {
    return networkBoxes;
}
DocumentTable& NetworkDocumentTable() {
    return networkDocuments;
}
BoxTable& UsbBoxTable() {
    return usbBoxes;
}
DocumentTable& UsbDocumentTable() {
    return usbDocuments;
}

BoxTable& BoxTableFor(const MFPInfo& mfp) {
    return mfp.isUSB != 0 ? usbBoxes : networkBoxes;
}

DocumentTable& DocumentTableFor(const MFPInfo& mfp) {
    return mfp.isUSB != 0 ? usbDocuments : networkDocuments;
}

void CopyTextToField(const char* utf8, char16_t* field, int units) {
    if (units <= 0) {
        return;
    }
    std::memset(field, 0, sizeof(char16_t) * static_cast<size_t>(units));
    if (utf8 == nullptr) {
        return;
    }
    const std::u16string text = platform::toUtf16(std::string_view(utf8));
    size_t keep = std::min(text.size(), static_cast<size_t>(units - 1));
    // Never leave the high half of a surrogate pair without its low half.
    if (keep > 0 && keep < text.size() && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) {
        --keep;
    }
    std::memcpy(field, text.data(), keep * sizeof(char16_t));
}
