// pagemaker: writes real page files from the command line.
//
//   pagemaker jpeg OUT [options]              one colour JPEG page
//   pagemaker tiff OUT [options]              one black-and-white page TIFF
//   pagemaker document FOLDER ID PAGES colour|bw [options]
//                                             the page files of one document, named
//                                             "%08X_%d.jpg" / "%08X_%d.tif", pages 1..PAGES
// Options: --dpi N (default 300), --title TEXT, --line TEXT (repeatable), --pattern SEED
// (a synthetic photo/text pattern instead of a text page), --little-endian (TIFF "II").
#include "tools/pagemaker/pagemaker.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

struct Options {
    int dpi = 300;
    QString title = QStringLiteral("Velnor test page");
    QStringList lines;
    std::optional<std::uint32_t> pattern;
    pagemaker::ByteOrder order = pagemaker::ByteOrder::BigEndian;
};

int usage() {
    std::fprintf(stderr,
                 "usage: pagemaker jpeg OUT [options]\n"
                 "       pagemaker tiff OUT [options]\n"
                 "       pagemaker document FOLDER ID PAGES colour|bw [options]\n"
                 "options: --dpi N  --title TEXT  --line TEXT  --pattern SEED  --little-endian\n");
    return 2;
}

bool parseOptions(int argc, char** argv, int from, Options& options) {
    for (int i = from; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--dpi" && hasValue) {
            options.dpi = std::atoi(argv[++i]);
        } else if (arg == "--title" && hasValue) {
            options.title = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--line" && hasValue) {
            options.lines << QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--pattern" && hasValue) {
            options.pattern = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--little-endian") {
            options.order = pagemaker::ByteOrder::LittleEndian;
        } else {
            return false;
        }
    }
    return options.dpi >= 10 && options.dpi <= 1200;
}

pagemaker::Bytes makePage(bool monochrome, const Options& options, const QString& title,
                          std::uint32_t seed) {
    const int w = pagemaker::a4Width(options.dpi);
    const int h = pagemaker::a4Height(options.dpi);
    if (options.pattern) {
        return monochrome ? pagemaker::makeBlackWhiteTiff(pagemaker::textLikePattern(w, h, seed),
                                                          options.dpi, options.dpi, options.order)
                          : pagemaker::makeColourJpeg(pagemaker::texturedPattern(w, h, seed),
                                                      options.dpi, options.dpi);
    }
    const QImage page = pagemaker::renderTextPage(title, options.lines, options.dpi);
    return monochrome ? pagemaker::makeBlackWhiteTiff(pagemaker::toBitonal(page), options.dpi,
                                                      options.dpi, options.order)
                      : pagemaker::makeColourJpeg(pagemaker::toRgb(page), options.dpi, options.dpi);
}

bool writePage(const std::string& path, const pagemaker::Bytes& bytes) {
    if (bytes.empty() || !pagemaker::writeFile(path, bytes)) {
        std::fprintf(stderr, "pagemaker: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        return usage();
    }
    const std::string command = argv[1];
    Options options;
    if (command == "jpeg" || command == "tiff") {
        if (!parseOptions(argc, argv, 3, options)) {
            return usage();
        }
        const bool monochrome = command == "tiff";
        const auto seed = options.pattern.value_or(0);
        return writePage(argv[2], makePage(monochrome, options, options.title, seed)) ? 0 : 1;
    }
    if (command == "document" && argc >= 6) {
        const std::string folder = argv[2];
        const auto id = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 16));
        const int pages = std::atoi(argv[4]);
        const std::string kind = argv[5];
        if (pages < 1 || (kind != "colour" && kind != "bw") ||
            !parseOptions(argc, argv, 6, options)) {
            return usage();
        }
        const bool monochrome = kind == "bw";
        for (int page = 1; page <= pages; ++page) {
            const QString title =
                QStringLiteral("%1 - page %2 of %3").arg(options.title).arg(page).arg(pages);
            const auto seed = options.pattern.value_or(0) + static_cast<std::uint32_t>(page);
            const std::string path = folder + "/" + pagemaker::pageFileName(id, page, monochrome);
            if (!writePage(path, makePage(monochrome, options, title, seed))) {
                return 1;
            }
        }
        return 0;
    }
    return usage();
}
