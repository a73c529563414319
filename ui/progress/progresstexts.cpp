#include "ui/progress/progresstexts.h"

#include "app/texts/localizedialog.h"
#include "platform/dialogframe.h"

void LocalizeProgressDialog(DialogFrame& dialog) {
    static const CaptionTable kCaptions = {{0, 15101}, {5201, 15201}, {5202, 15202}, {-1, 0}};
    LocalizeDialog(&dialog, kCaptions);
}
