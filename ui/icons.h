#pragma once

#include <QIcon>

// The main window's icons, drawn by the program itself.
enum VelnorIconId {
    IconProgram = 128,       // the program (window icon, About box)
    IconDocument = 301,      // a document in the document list
    IconBox = 302,           // a box in the tree
    IconOpenBox = 303,       // the selected box in the tree
    IconDevice = 304,        // the device itself, root of the tree
    IconPreviousPage = 305,  // previous page button
    IconNextPage = 306,      // next page button
};

// The icon with id `id` (one of VelnorIconId), or a null icon for any other id.
// Needs a QGuiApplication; the caller owns the returned icon.
QIcon VelnorIcon(int id);
