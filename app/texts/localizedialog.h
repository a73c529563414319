#pragma once

#include <cstdint>
#include <vector>

class QString;
class QWidget;

// Caption tables: which text id becomes the text of which control of a dialog.

// One pair: a control id (0 for the dialog itself, whose caption is its window title) and the
// text id of its text. A table is closed by a pair whose control id is -1.
struct CaptionPair {
    int32_t controlId;
    int32_t textId;
};
using CaptionTable = std::vector<CaptionPair>;

// For every pair of `table` up to the closing pair (or the end): looks the text id up like
// LoadLocalizedText and, when a source has the text, makes it the window title of `dialog`
// (control id 0) or the text of the dialog's control with that id (the child whose objectName
// is the decimal id: a label's or button's text, a group box's title, an edit's content). A
// text found nowhere, or a control the dialog lacks, leaves the dialog as it was. `dialog` is
// not owned; null is ignored. Call on the user-interface thread.
void LocalizeDialog(QWidget* dialog, const CaptionTable& table);

// Sets the window text of `control` as the platform's SetWindowText would: the title of a
// window, the text of a label, button or edit, the title of a group box. Returns false when
// the control has no text of its own.
bool SetWindowText(QWidget* control, const QString& text);
