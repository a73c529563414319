#pragma once

#include <QString>
#include <QStringList>

// What FlushToStableStorage found.
struct FlushResult {
    int error = 0;  // the system error of the step that failed; 0 when every step succeeded
    QString path;   // the file or folder that failed; empty on success or for an empty list

    bool ok() const { return error == 0; }
};

// Makes the files `paths` (and the folders that hold them) durable: each path must name an
// existing regular file, whose data is written through to the storage device, and then each
// folder holding one of them has its entries written through too, so that after a crash or a
// power cut the files are still there with their whole contents. Used before a document is
// deleted from its box, so that the box's copy is never removed while ours could still vanish.
//
// Reads and changes nothing in the files. Stops at the first failure and reports it: a path
// that does not exist or is no regular file (ENOENT, EISDIR...), or a failing sync. An empty
// list reports ENOENT: there is nothing whose safety could be vouched for.
FlushResult FlushToStableStorage(const QStringList& paths);
