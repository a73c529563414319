#pragma once

class QLineEdit;
class QWidget;

// The digits-only filter of the numeric edit fields, run on every change of their text.
//
// Takes the field's selection (start and end; both the caret when nothing is selected). When
// either is 0, nothing changes. Otherwise every character other than "0".."9" before the
// selection's end is removed; when something was removed the text is written back, the caret is
// put where the selection's end moved to, and the result is true. Characters after the
// selection's end are not examined (a paste with the caret at its end is filtered whole).
// A null field changes nothing and gives false.
bool KeepDigitsOnly(QLineEdit* field);

// KeepDigitsOnly on the edit field of `dialog` whose control id is `controlId` (its objectName
// is the decimal id). False when the dialog has no edit field of that id.
bool KeepDigitsOnly(const QWidget* dialog, int controlId);
