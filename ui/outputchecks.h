#pragma once

class IConvertor;
class QWidget;

// Checks the destination of a prepared convertor before its save starts, with message boxes
// owned by `owner` (caption "Save"):
// - no file of the longest output name's length can be created in the output folder:
//   "The path is too deep.", false;
// - the folder cannot be written: "Unable to access folder.", false;
// - an output file exists already: asks "The file already exists. Replace existing file?"
//   once, for the first such file in output order, and returns whether the user chose OK.
// Otherwise true. A convertor without outputs, or whose first output has no folder part, gives
// false without a message. Probe files are deleted at once; no output is created or touched.
bool CheckOutputPaths(QWidget* owner, const IConvertor* convertor);
