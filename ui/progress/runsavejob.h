#pragma once

#include "ui/progress/savejob.h"

class IConvertor;

// Runs one save for its owner (the main window) and returns true only when every page was
// downloaded, the convertor reported its output complete and the user closed the progress
// dialog with OK. On the user-interface thread: creates the work folders, empties the save
// folder, starts SaveWorker on a thread of its own and runs the owner's progress dialog
// modally (upper limit 100) until the job has ended it. Returns only after the worker has
// ended; the job record is reset on every path. `convertor` is prepared by the caller (output,
// work folder, range) and stays the caller's; it must not be touched until this returns.
// Returns false at once for a negative document index, a null convertor, or when no thread can
// be started (no dialog is shown then). The save folder is emptied again after success.
bool RunSaveJob(ISaveJobOwner& owner, int documentIndex, IConvertor* convertor);

// The job's notify routine: brings the owner's progress dialog up to date with the job. Called
// by the worker after every change and once by RunSaveJob. Runs the update on the dialog's
// (user-interface) thread, blocking the caller until it is done, so updates keep their order.
// Does nothing when the dialog has no window. Without a cancel request: a failed download or
// conversion shows its failure, Finished shows "Saved successfully" when the conversion
// succeeded (a failure otherwise, unless one was shown), any other state moves the bar. With a
// cancel request: Finished posts a close request, other states show nothing.
void OnSaveJobChanged(ISaveJobOwner* owner);
