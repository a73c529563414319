#include "ui/outputchecks.h"

#include <QFileInfo>

#include "app/folders/probes.h"
#include "convert/convertor.h"
#include "convert/convertorfactory.h"
#include "platform/messagebox.h"
#include "platform/textconv.h"
#include "ui/uitexts.h"

bool CheckOutputPaths(QWidget* owner, const IConvertor* convertor) {
    if (convertor == nullptr || convertor->m_outputs.isEmpty()) {
        return false;
    }
    const QString first = convertor->m_outputs.front();
    QString folder = first;
    if (!QFileInfo(first).isDir()) {
        const qsizetype slash = first.lastIndexOf(u'/');
        if (slash < 0) {
            return false;
        }
        folder = first.left(slash == 0 ? 1 : slash);
    }

    if (!CanCreateFileIn(platform::fromQString(folder), GetLongestOutputName(convertor))) {
        ShowMessage(owner, 21013, 20002);
        return false;
    }
    if (!CanWriteFolder(platform::fromQString(first))) {
        ShowMessage(owner, 21012, 20002);
        return false;
    }
    for (const QString& output : convertor->m_outputs) {
        if (QFileInfo::exists(output)) {
            return ShowMessage(owner, 21003, 20002, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
        }
    }
    return true;
}
