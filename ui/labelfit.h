#pragma once

class QLabel;
class QWidget;

// Template rectangles were laid out for a narrower dialog font than this platform's. A label
// whose text does not fit its rectangle gets a smaller point size (down to 6 points) instead of
// being cut off; labels that fit are left alone. Call after the texts are in place.
void FitLabelText(QLabel* label);

// FitLabelText for every label (QLabel, not a subclass) among the children of `dialog`.
void FitLabelTexts(QWidget* dialog);
