#include "platform/savefiledialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <mutex>

namespace {

std::mutex interceptorLock;
SaveFileDialogInterceptor& installedInterceptor() {
    static SaveFileDialogInterceptor interceptor;
    return interceptor;
}

// The filter as the toolkit writes it: the description with its patterns in parentheses,
// separated by blanks ("TIFF Files (*.tif *.tiff)"). A description that already ends with
// its patterns in parentheses has them replaced, so they are not shown twice.
QString ToolkitFilter(const SaveFileFilter& filter) {
    QString description = filter.description.trimmed();
    const qsizetype open = description.lastIndexOf(u'(');
    if (open >= 0 && description.endsWith(u')')) {
        description = description.left(open).trimmed();
    }
    QStringList patterns = filter.patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
    }
    return description + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

// The extension of a filter's first pattern without its dot ("tif" of "*.tif;*.tiff"); empty
// when that pattern names no plain extension ("*.*", "*").
QString FirstExtension(const SaveFileFilter& filter) {
    const QString first = filter.patterns.section(u';', 0, 0).trimmed();
    if (!first.startsWith(QStringLiteral("*."))) {
        return QString();
    }
    const QString extension = first.mid(2);
    for (QChar c : extension) {
        if (c == u'*' || c == u'?' || c == u'.' || c == u'[') {
            return QString();
        }
    }
    return extension;
}

}  // namespace

QList<SaveFileFilter> ParseSaveFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QList<SaveFileFilter> filters;
    // An empty entry ends the list: "||" closes it, and nothing after it counts.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() || parts[i + 1].isEmpty()) {
            break;
        }
        filters.append({parts[i], parts[i + 1]});
    }
    return filters;
}

SaveFileDialogInterceptor SetSaveFileDialogInterceptor(SaveFileDialogInterceptor interceptor) {
    std::lock_guard<std::mutex> guard(interceptorLock);
    SaveFileDialogInterceptor previous = std::move(installedInterceptor());
    installedInterceptor() = std::move(interceptor);
    return previous;
}

SaveFileAnswer RunSaveFileDialog(const SaveFileRequest& request) {
    SaveFileDialogInterceptor interceptor;
    {
        std::lock_guard<std::mutex> guard(interceptorLock);
        interceptor = installedInterceptor();
    }
    if (interceptor) {
        return interceptor(request);
    }

    const QList<SaveFileFilter> filters = ParseSaveFileFilter(request.filter);
    QStringList nameFilters;
    for (const SaveFileFilter& filter : filters) {
        nameFilters.append(ToolkitFilter(filter));
    }

    // The toolkit's own dialog looks and behaves the same on every platform, and its options
    // are all honoured.
    QFileDialog dialog(request.owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= nameFilters.size()
                              ? request.filterIndex
                              : 1;
        dialog.selectNameFilter(nameFilters[index - 1]);
    }
    if (!request.initialFolder.isEmpty() && QDir(request.initialFolder).exists()) {
        dialog.setDirectory(request.initialFolder);
    }

    SaveFileAnswer answer;
    if (dialog.exec() != QDialog::Accepted) {
        return answer;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return answer;
    }
    answer.accepted = true;
    answer.path = QDir::fromNativeSeparators(chosen.front());
    const qsizetype selected = nameFilters.indexOf(dialog.selectedNameFilter());
    answer.filterIndex = selected >= 0 ? static_cast<int>(selected) + 1 : 1;
    if (!QFileInfo(answer.path).fileName().contains(u'.')) {
        const QString extension = selected >= 0 ? FirstExtension(filters[selected]) : QString();
        const QString added = extension.isEmpty() ? request.defaultExtension : extension;
        if (!added.isEmpty()) {
            answer.path += u'.' + added;
        }
    }
    return answer;
}
