#include "tests/convert/convertfixture.h"

#include <QFile>
#include <QProcess>

#include <tiffio.h>

#include "convert/pagefilename.h"
#include "tools/pagemaker/pagemaker.h"

namespace converttest {

QString WritePage(const QString& folder, std::uint32_t documentId, int page, bool monochrome,
                  int width, int height, int dpi) {
    const QString path = PageFilePath(folder, documentId, page, monochrome);
    pagemaker::Bytes bytes;
    if (monochrome) {
        bytes = pagemaker::makeBlackWhiteTiff(
            pagemaker::textLikePattern(width, height, static_cast<std::uint32_t>(page)), dpi, dpi);
    } else {
        bytes = pagemaker::makeColourJpeg(
            pagemaker::texturedPattern(width, height, static_cast<std::uint32_t>(page)), dpi, dpi);
    }
    if (bytes.empty() || !pagemaker::writeFile(QFile::encodeName(path).toStdString(), bytes)) {
        return QString();
    }
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QStringList Entries(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

std::vector<PageImageInfo> PageInfos(int first, int last, int width, int height, int dpi) {
    std::vector<PageImageInfo> pages(static_cast<std::size_t>(last) + 1, PageImageInfo{0, 0, 0, 0});
    for (int page = first; page <= last; ++page) {
        pages[page] = PageImageInfo{width, height, dpi, dpi};
    }
    return pages;
}

int CheckedPdfPages(const QString& path) {
    QProcess check;
    check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    if (!check.waitForFinished(60000) || check.exitStatus() != QProcess::NormalExit ||
        check.exitCode() != 0) {
        return -1;
    }
    QProcess count;
    count.start(QStringLiteral("qpdf"), {QStringLiteral("--show-npages"), path});
    if (!count.waitForFinished(60000) || count.exitCode() != 0) {
        return -1;
    }
    bool ok = false;
    const int pages = QString::fromUtf8(count.readAllStandardOutput()).trimmed().toInt(&ok);
    return ok ? pages : -1;
}

int TiffDirectories(const QString& path) {
    TIFFSetWarningHandler(nullptr);
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (tiff == nullptr) {
        return -1;
    }
    // Every directory's image must decode whole, not only be listed.
    int count = 0;
    std::vector<unsigned char> row(static_cast<std::size_t>(TIFFScanlineSize(tiff)) + 1);
    do {
        ++count;
        std::uint32_t height = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        row.resize(static_cast<std::size_t>(TIFFScanlineSize(tiff)) + 1);
        for (std::uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tiff, row.data(), y, 0) < 0) {
                TIFFClose(tiff);
                return -1;
            }
        }
    } while (TIFFReadDirectory(tiff) == 1);
    TIFFClose(tiff);
    return count;
}

}  // namespace converttest
