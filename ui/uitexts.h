#pragma once

#include <QString>

class QWidget;

// Short forms of the text lookups the windows of this folder make.

// The text of `id` from the first source that has it (LoadLocalizedText); empty when none has.
QString LocalizedText(int id);
// The text of `id` in MessageTextTable; empty when the table does not hold the id.
QString MessageText(int id);
// The text of `id` in LabelTextTable ("B/W", "Color", "USB"); empty when not held.
QString LabelText(int id);

// Shows message `textId` with caption `captionId` (both from MessageTextTable) in a box owned
// by `owner`, with the error icon and an OK button unless `flags` says otherwise, and returns
// the button that closed it.
int ShowMessage(QWidget* owner, int textId, int captionId,
                unsigned flags = 0x10 /* MB_ICONERROR */);
