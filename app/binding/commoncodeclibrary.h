#pragma once

#include "app/binding/autolibrary.h"

// The XML codec library ("codec.so"). The program calls none of its exports; binding proves
// that a library exporting KroXMLEncode, KroXMLDecode and KroCodecFree is loaded.
class CCommonCodecLibrary : public CAutoLibrary {
  public:
    // Frees, then tries every "*.so" of the program folder whose name contains "codec.so", in
    // listing order, and keeps the first that loads and exports all three functions (each
    // further Load frees the one before). When none qualifies, tries "vzqcodec.so". 0 on
    // success. On failure the loader holds nothing: the prefixed name's load result, or the
    // platform's error for its missing export.
    HRESULT Bind();

  private:
    // 0 when the loaded module exports all three functions, else the platform's error.
    HRESULT checkExports() const;
};
