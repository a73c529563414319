// Readable pages drawn with QPainter, pixel conversions and the synthetic patterns of the
// benchmarks.
#include "tools/pagemaker/pagemaker.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pagemaker {
namespace {

// True when fonts can be used: a QGuiApplication exists, or none exists and one is created
// here (offscreen unless the caller chose a platform).
bool ensureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "pagemaker";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    return application != nullptr;
}

// A small deterministic generator, so that a seed always gives the same page.
class Random {
  public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int limit) { return static_cast<int>(next() % static_cast<std::uint32_t>(limit)); }

  private:
    std::uint32_t state_;
};

int millimetres(double mm, int dpi) {
    return static_cast<int>(std::lround(mm * dpi / 25.4));
}

}  // namespace

int a4Width(int dpi) {
    return dpi > 0 ? millimetres(210, dpi) : 0;
}
int a4Height(int dpi) {
    return dpi > 0 ? millimetres(297, dpi) : 0;
}

QImage renderTextPage(const QString& title, const QStringList& lines, int dpi, QColor accent) {
    if (dpi < 10 || dpi > 1200) {
        return {};
    }
    QImage page(a4Width(dpi), a4Height(dpi), QImage::Format_RGB888);
    if (page.isNull()) {
        return {};
    }
    page.fill(Qt::white);
    const bool fonts = ensureGuiApplication();
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    const int margin = millimetres(20, dpi);
    const int width = page.width() - 2 * margin;
    painter.fillRect(0, 0, page.width(), millimetres(8, dpi), accent);
    painter.setPen(QPen(Qt::black, std::max(1, dpi / 100)));
    painter.drawRect(margin / 2, margin / 2, page.width() - margin, page.height() - margin);

    const int titleSize = millimetres(9, dpi);
    const int textSize = millimetres(4.2, dpi);
    int y = margin + millimetres(10, dpi);
    if (fonts) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(titleSize);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(accent);
        painter.drawText(QRect(margin, y, width, titleSize * 2), Qt::AlignLeft | Qt::TextWordWrap,
                         title);
        y += titleSize * 2 + textSize;
        font.setPixelSize(textSize);
        font.setBold(false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (const QString& line : lines) {
            painter.drawText(QRect(margin, y, width, textSize * 2), Qt::AlignLeft, line);
            y += textSize * 2;
        }
    } else {
        // No fonts without a GUI application: grey bars stand where the text would be.
        painter.fillRect(margin, y, width * 2 / 3, titleSize, accent);
        y += titleSize * 2 + textSize;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int length = static_cast<int>(std::min<qsizetype>(lines[i].size(), 80));
            painter.fillRect(margin, y, width * length / 80, textSize, Qt::darkGray);
            y += textSize * 2;
        }
    }
    painter.end();
    return page;
}

RgbImage toRgb(const QImage& image) {
    RgbImage out;
    if (image.isNull()) {
        return out;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    out.width = rgb.width();
    out.height = rgb.height();
    const auto stride = static_cast<std::size_t>(out.width) * 3;
    out.pixels.resize(stride * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * stride, rgb.constScanLine(y),
                    stride);
    }
    return out;
}

BitonalImage toBitonal(const QImage& image, int threshold) {
    if (image.isNull()) {
        return {};
    }
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    BitonalImage out(grey.width(), grey.height());
    for (int y = 0; y < out.height; ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < out.width; ++x) {
            if (row[x] < threshold) {
                out.setBlack(x, y);
            }
        }
    }
    return out;
}

RgbImage texturedPattern(int width, int height, std::uint32_t seed) {
    RgbImage out;
    if (width <= 0 || height <= 0) {
        return out;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    Random random(seed);
    std::uint8_t* p = out.pixels.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int noise = random.below(13) - 6;
            const int r = 128 + static_cast<int>(90 * std::sin((x + seed) * 0.004)) + noise;
            const int g = 128 + static_cast<int>(90 * std::cos(y * 0.003)) + noise;
            const int b = (x + y) / 24 % 200 + noise;
            *p++ = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
            *p++ = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
            *p++ = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
        }
    }
    return out;
}

BitonalImage textLikePattern(int width, int height, std::uint32_t seed) {
    BitonalImage out(width, height);
    if (!out.valid()) {
        return out;
    }
    Random random(seed);
    const int margin = width / 10;
    const int lineHeight = std::max(4, height / 60);
    const int glyph = std::max(2, lineHeight / 2);
    for (int top = height / 12; top + lineHeight < height - height / 12; top += lineHeight) {
        int x = margin;
        while (x < width - margin) {
            const int word = glyph * (2 + random.below(8));
            for (int gx = x; gx < std::min(x + word, width - margin); ++gx) {
                // Each glyph column is a short vertical run, like the strokes of letters.
                if (random.below(3) == 0) {
                    continue;
                }
                const int from = top + random.below(glyph / 2 + 1);
                const int to = top + glyph + random.below(glyph / 2 + 1);
                for (int y = from; y < to; ++y) {
                    out.setBlack(gx, y);
                }
            }
            x += word + glyph;
        }
    }
    return out;
}

}  // namespace pagemaker
