#include "app/binding/searchagentlibrary.h"

#include "app/binding/libraryfiles.h"

HRESULT CSearchAgentLibrary::Bind() {
    return bindByStem(kSearchAgentStem, [this] {
        HRESULT result = platform::kOk;
        getDetected_ =
            reinterpret_cast<SSAGetDetectedMFPAddrWFn>(resolve("SSAGetDetectedMFPAddrW", result));
        if (getDetected_ == nullptr) {
            return result;
        }
        freeAddresses_ = reinterpret_cast<SSAFreeMFPAddrWFn>(resolve("SSAFreeMFPAddrW", result));
        if (freeAddresses_ == nullptr) {
            return result;
        }
        HRESULT optional = platform::kOk;
        getDetectedSpecifyPort_ = reinterpret_cast<SSAGetDetectedMFPAddrSpecifyPortWFn>(
            resolve("SSAGetDetectedMFPAddrSpecifyPortW", optional));
        return platform::kOk;
    });
}

void CSearchAgentLibrary::Free() {
    CAutoLibrary::Free();
    getDetected_ = nullptr;
    getDetectedSpecifyPort_ = nullptr;
    freeAddresses_ = nullptr;
}
