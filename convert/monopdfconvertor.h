#pragma once

#include "convert/pdfconvertor.h"

// Black-and-white PDF: the Group 4 data of the document's page TIFFs becomes the PDF's pages.
// ostrel leaves each page file it used holding raw strip data; the save empties the work folder.
class CMonoPdfConvertor : public IPdfConvertor {
  protected:
    std::int32_t MonochromeFlag() const override { return 1; }
};
