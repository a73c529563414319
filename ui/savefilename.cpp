#include "ui/savefilename.h"

#include "convert/convertorfactory.h"
#include "platform/dialogresult.h"
#include "platform/savefiledialog.h"

SaveFileChoice AskSaveFileName(QWidget* owner, bool monochrome, int format,
                               const QString& initialFolder) {
    SaveFileRequest request;
    request.owner = owner;
    request.filter = QString::fromUtf16(monochrome ? kMonoSaveFilter : kColourSaveFilter);
    request.filterIndex = format + 1;
    request.initialFolder = initialFolder;
    request.defaultExtension = QStringLiteral("pdf");

    SaveFileChoice choice;
    const SaveFileAnswer answer = RunSaveFileDialog(request);
    if (!answer.accepted) {
        choice.result = IDCANCEL;
        return choice;
    }
    QString path = answer.path;
    if (!IsConvertible(path, monochrome)) {
        if (answer.filterIndex == 1) {
            path += QStringLiteral(".pdf");
        } else {
            path += monochrome ? QStringLiteral(".tif") : QStringLiteral(".jpg");
        }
    }
    choice.result = IDOK;
    choice.path = path;
    choice.type = GetConvertorType(path);
    return choice;
}
