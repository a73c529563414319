#pragma once
// Shared pieces of the convertor tests: a scratch folder for page files and outputs, real page
// files from the page maker, and small file helpers.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

#include "ostrel/ostrel.h"

namespace converttest {

// Writes page `page` of document `documentId` into `folder` as a real page file: a colour JPEG
// or a black-and-white page TIFF of `width` x `height` pixels at `dpi`. Returns the path, or an
// empty text when it could not be written.
QString WritePage(const QString& folder, std::uint32_t documentId, int page, bool monochrome,
                  int width = 320, int height = 240, int dpi = 200);

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

// Names of the entries in `folder`, hidden ones included, sorted.
QStringList Entries(const QString& folder);

// An array indexed by page number up to `last`, with every page from `first` on described as
// width x height pixels at dpi.
std::vector<PageImageInfo> PageInfos(int first, int last, int width = 320, int height = 240,
                                     int dpi = 200);

// The number of pages `qpdf --show-npages` reports for a PDF that passes `qpdf --check`, or -1.
int CheckedPdfPages(const QString& path);

// The number of directories libtiff reads from the TIFF, each of whose images must decode
// whole, or -1 when it cannot be opened or an image does not decode.
int TiffDirectories(const QString& path);

}  // namespace converttest
