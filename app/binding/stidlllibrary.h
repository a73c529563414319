#pragma once

#include "app/binding/autolibrary.h"
#include "family/sti/sti.h"

// The still-image library "sti.so" and its entry point StiCreateInstanceW.
class CStidllLibrary : public CAutoLibrary {
  public:
    // Frees, loads "sti.so" (program folder first, then the search path) and resolves
    // StiCreateInstanceW. 0 on success. On failure the loader holds nothing: the load's result,
    // or the platform's error for the missing entry point.
    HRESULT Bind();
    void Free() override;

    // Null unless bound.
    StiCreateInstanceWFunction StiCreateInstanceW() const { return stiCreateInstanceW_; }

  private:
    StiCreateInstanceWFunction stiCreateInstanceW_ = nullptr;
};
