#include "app/settings/appsettings.h"

#include "platform/desktopfolder.h"
#include "platform/textconv.h"

QString DefaultDestinationFolder() {
    QString folder = platform::toQString(platform::desktopFolder());
    // The classic desktop path buffer holds 259 characters; a longer path is no default.
    if (folder.size() > 259) {
        folder.clear();
    }
    return folder;
}
