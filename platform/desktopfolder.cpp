#include "platform/desktopfolder.h"

#include <QStandardPaths>

#include "platform/textconv.h"

namespace platform {

std::u16string desktopFolder() {
    return fromQString(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

}  // namespace platform
