#pragma once

#include "convert/pdfconvertor.h"

// Colour PDF: the document's JPEG page files become the PDF's pages, unchanged.
class CColorPdfConvertor : public IPdfConvertor {
  protected:
    std::int32_t MonochromeFlag() const override { return 0; }
};
