#pragma once

#include "app/binding/autolibrary.h"
#include "family/sedrin/sedrin.h"

// The MFP search agent library ("sedrin.so") and its three entry points; the one with a port
// is optional.
class CSearchAgentLibrary : public CAutoLibrary {
  public:
    // Frees, then binds the library of the common kind (stem "sedrin.so"). Requires
    // SSAGetDetectedMFPAddrW and SSAFreeMFPAddrW; only when both are there is
    // SSAGetDetectedMFPAddrSpecifyPortW looked up, and its absence is no failure. 0 on success;
    // on failure the loader holds nothing: the load's result or the platform's error for the
    // missing entry point.
    HRESULT Bind();
    void Free() override;

    // Null unless bound (the port variant also when the library lacks it).
    SSAGetDetectedMFPAddrWFn SSAGetDetectedMFPAddrW() const { return getDetected_; }
    SSAGetDetectedMFPAddrSpecifyPortWFn SSAGetDetectedMFPAddrSpecifyPortW() const {
        return getDetectedSpecifyPort_;
    }
    SSAFreeMFPAddrWFn SSAFreeMFPAddrW() const { return freeAddresses_; }

  private:
    SSAGetDetectedMFPAddrWFn getDetected_ = nullptr;
    SSAGetDetectedMFPAddrSpecifyPortWFn getDetectedSpecifyPort_ = nullptr;
    SSAFreeMFPAddrWFn freeAddresses_ = nullptr;
};
