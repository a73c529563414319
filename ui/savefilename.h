#pragma once

#include <QString>

class QWidget;

// The save-as dialog's filter lists: PDF and TIFF for a black-and-white document, PDF and JPEG
// for a colour one.
inline constexpr char16_t kMonoSaveFilter[] =
    u"PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff||";
inline constexpr char16_t kColourSaveFilter[] =
    u"PDF Files (*.pdf)|*.pdf|JPEG Files (*.jpg;*.jpeg)|*.jpg;*.jpeg||";

// How the save-as dialog of a save was left.
struct SaveFileChoice {
    int result = 2;  // IDOK (1) or IDCANCEL (2)
    QString path;    // the output path, with the selected filter's extension added if needed
    int type = -1;   // GetConvertorType of path
};

// Asks for the output file of a save with the platform's save-as dialog, owned by `owner`: the
// filter list of the document's colour class (`monochrome`), the filter of `format` (0 PDF,
// 1 TIFF or JPEG) selected, default extension "pdf", no initial name, `initialFolder` shown.
// When the chosen path's extension gives no convertor for the colour class, the selected
// filter's extension is appended: ".pdf" for the first filter, otherwise ".tif" (black-and-
// white) or ".jpg" (colour); "scan.jpg" saved as TIFF becomes "scan.jpg.tif". Cancel gives
// IDCANCEL and an empty path. Creates and writes nothing.
SaveFileChoice AskSaveFileName(QWidget* owner, bool monochrome, int format,
                               const QString& initialFolder);
