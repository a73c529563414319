#pragma once

#include <QString>

#include <memory>

#include "convert/convertor.h"

// Output types chosen by an output path's extension (case ignored).
inline constexpr int kConvertorNone = -1;
inline constexpr int kConvertorPdf = 0;   // "pdf"
inline constexpr int kConvertorTiff = 1;  // "tif", "tiff"
inline constexpr int kConvertorJpeg = 2;  // "jpg", "jpeg"

// The single convertor slot of its owner (the main window).
using ConvertorHolder = std::unique_ptr<IConvertor>;

// Destroys the convertor in `holder`, then creates the one that serves `type` for the colour
// mode and stores it there: PDF gives CColorPdfConvertor or CMonoPdfConvertor, TIFF gives
// CTiffConvertor for black-and-white, JPEG gives CJpgPassthruConvertor for colour. Returns the
// new convertor (owned by holder), or nullptr with holder empty when none serves the request.
IConvertor* CreateConvertor(bool monochrome, ConvertorHolder& holder, int type);

// The type of the path's extension (the text after its last dot), or kConvertorNone when it has
// no dot or the extension is none of "pdf", "tif", "tiff", "jpg", "jpeg".
int GetConvertorType(const QString& path);

// True when CreateConvertor would make a convertor for the path's type and the colour mode.
bool IsConvertible(const QString& path, bool monochrome);

// The length in characters of the longest file-name part (the text after the last "/") among
// the convertor's output paths; paths without a "/" are not counted; 0 when there are none or
// the convertor is null.
int GetLongestOutputName(const IConvertor* convertor);
