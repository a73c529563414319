#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// One entry of a save-as dialog's filter list: the text shown ("PDF Files (*.pdf)") and its
// patterns separated by ";" ("*.pdf", "*.tif;*.tiff").
struct SaveFileFilter {
    QString description;
    QString patterns;
};

// What a save-as dialog is asked to show.
struct SaveFileRequest {
    QWidget* owner = nullptr;
    // The filter list in the program's own notation: description and patterns alternate,
    // separated by "|", and the list ends with "||", e.g.
    // "PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff||".
    QString filter;
    int filterIndex = 1;       // the filter selected at opening, 1 = the first
    QString initialFolder;     // the folder shown at opening; empty: the dialog's choice
    QString defaultExtension;  // without the dot ("pdf"), for a filter that names no extension
};

// How a save-as dialog was left.
struct SaveFileAnswer {
    bool accepted = false;  // false: the user cancelled, path is empty
    QString path;           // the chosen file, with "/" as the separator
    int filterIndex = 1;    // the filter selected when the dialog closed, 1 = the first
};

// The entries of a filter list in the notation above, in order, up to the first empty
// description or pattern list (the "||" end). A list without the end is read to its last
// complete entry.
QList<SaveFileFilter> ParseSaveFileFilter(const QString& filter);

// Shows a modal save-as dialog for `request` and returns how the user left it. The dialog does
// not ask before replacing an existing file (the caller asks) and lets the user name a file
// that does not exist yet. A name typed without an extension gets the one of the selected
// filter ("*.tif;*.tiff" adds ".tif"), or the default extension when that filter names none,
// so the file type the user picked is the one saved. A filter index outside the list selects
// the first filter. Nothing is created or written.
//
// Test hook: while an interceptor is installed (SetSaveFileDialogInterceptor) it is called
// instead of showing anything and its answer is returned as it is, so automated runs never
// block. Must be called on the user-interface thread.
SaveFileAnswer RunSaveFileDialog(const SaveFileRequest& request);

// Replaces every save-as dialog while installed: RunSaveFileDialog returns what it returns.
using SaveFileDialogInterceptor = std::function<SaveFileAnswer(const SaveFileRequest&)>;

// Installs `interceptor` for the whole process (an empty function removes it) and returns the
// one installed before, so that a caller can restore it.
SaveFileDialogInterceptor SetSaveFileDialogInterceptor(SaveFileDialogInterceptor interceptor);
