#pragma once

#include <QRect>

#include <cstdint>

// a x b / c with the product in 64 bits and the quotient rounded to the nearest integer, halves
// away from zero. A zero divisor gives 0.
std::int64_t MulDivRounded(std::int64_t a, std::int64_t b, std::int64_t c);

// Where the preview pane draws a page of `imageWidth` x `imageHeight` pixels, in the pane's
// client coordinates, given the pane's inner size `paneWidth` x `paneHeight` (its client size
// less one pixel on every side). A portrait page (narrower than tall) fills the inner height
// and is centred across; any other page fills the inner width and is centred vertically. The
// rule looks only at the page's own orientation, not at the pane's. An empty page or pane
// gives an empty rectangle.
QRect PreviewLayout(int paneWidth, int paneHeight, int imageWidth, int imageHeight);
