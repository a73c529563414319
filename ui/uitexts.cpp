#include "ui/uitexts.h"

#include "app/texts/textsources.h"
#include "app/texts/texttables.h"
#include "platform/messagebox.h"

QString LocalizedText(int id) {
    return LoadLocalizedText(static_cast<uint32_t>(id));
}

QString MessageText(int id) {
    return FindTableText(MessageTextTable, id);
}

QString LabelText(int id) {
    return FindTableText(LabelTextTable, id);
}

int ShowMessage(QWidget* owner, int textId, int captionId, unsigned flags) {
    return ShowMessageBox(owner, MessageText(textId), MessageText(captionId), flags);
}
