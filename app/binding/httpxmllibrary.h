#pragma once

#include "app/binding/autolibrary.h"
#include "device/protocol/httpxmltable.h"

// The HTTP-XML transport library ("tarvin.so") and its table of 56 entry points, which
// GetHTTPXML fills. The table is zero from construction until a Bind succeeds and after Free.
class CHttpXMLLibrary : public CAutoLibrary {
  public:
    CHttpXMLLibrary();

    // Frees, then binds the library of the common kind (first "*.so" of the program folder
    // whose name contains "tarvin.so", else "vzqtarvin.so"), resolves GetHTTPXML and calls it
    // with the table and its size. 0 on success. On failure the loader holds nothing and the
    // table is zero: the load's result, the platform's error for a missing GetHTTPXML, or
    // E_FAIL when GetHTTPXML answers 0.
    HRESULT Bind();
    void Free() override;

    GetHTTPXMLFn GetHTTPXML() const { return getHttpXml_; }
    // The transport table; read-only while the program runs.
    const HttpXmlTable& table() const { return table_; }

  private:
    GetHTTPXMLFn getHttpXml_ = nullptr;
    HttpXmlTable table_;
};
