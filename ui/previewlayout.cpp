#include "ui/previewlayout.h"

std::int64_t MulDivRounded(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0) {
        return 0;
    }
    const std::int64_t product = a * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor = c < 0 ? -c : c;
    // A remainder of at least half the divisor rounds up in magnitude, so halves go away from 0.
    const std::int64_t quotient =
        (2 * (magnitude % divisor) >= divisor) ? magnitude / divisor + 1 : magnitude / divisor;
    return negative ? -quotient : quotient;
}

QRect PreviewLayout(int paneWidth, int paneHeight, int imageWidth, int imageHeight) {
    if (paneWidth <= 0 || paneHeight <= 0 || imageWidth <= 0 || imageHeight <= 0) {
        return QRect();
    }
    if (imageWidth < imageHeight) {
        const int width = static_cast<int>(MulDivRounded(paneHeight, imageWidth, imageHeight));
        return QRect(paneWidth / 2 - width / 2 + 1, 1, width, paneHeight);
    }
    const int height = static_cast<int>(MulDivRounded(paneWidth, imageHeight, imageWidth));
    return QRect(1, paneHeight / 2 - height / 2 + 1, paneWidth, height);
}
