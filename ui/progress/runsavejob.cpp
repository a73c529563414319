#include "ui/progress/runsavejob.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

#include <system_error>
#include <thread>

#include "app/folders/workfolders.h"
#include "ui/progress/progressdialog.h"
#include "ui/progress/saveworker.h"

namespace {

// Brings the dialog up to date; runs on the dialog's thread.
void UpdateDialog(ISaveJobOwner& owner, CProgressDlg& dialog) {
    if (!dialog.HasWindow()) {
        return;
    }
    const SaveJob& job = owner.SaveJobRecord();
    if (job.cancelRequested != 0) {
        if (job.state == kSaveJobFinished) {
            dialog.PostCloseRequest();
        }
        return;
    }
    switch (job.state) {
        case kSaveJobDownloadFailed:
            dialog.ShowSaveFailure(SaveFailureKind::Download);
            break;
        case kSaveJobConversionFailed:
            dialog.ShowSaveFailure(SaveFailureKind::Conversion);
            break;
        case kSaveJobFinished:
            if (dialog.FailureShown()) {
                break;
            }
            if (job.converted) {
                dialog.ShowProgress(job.last + 1, job.last);
            } else {
                // Ended without a complete output and without a failure on show: never offer OK.
                dialog.ShowSaveFailure(SaveFailureKind::Conversion);
            }
            break;
        default:
            if (job.last > 0) {
                dialog.ShowProgress(job.current, job.last);
            }
            break;
    }
}

}  // namespace

void OnSaveJobChanged(ISaveJobOwner* owner) {
    if (owner == nullptr) {
        return;
    }
    CProgressDlg& dialog = owner->ProgressDialog();
    if (QThread::currentThread() == dialog.thread()) {
        UpdateDialog(*owner, dialog);
        return;
    }
    QMetaObject::invokeMethod(
        &dialog, [owner, &dialog] { UpdateDialog(*owner, dialog); }, Qt::BlockingQueuedConnection);
}

bool RunSaveJob(ISaveJobOwner& owner, int documentIndex, IConvertor* convertor) {
    SaveJob& job = owner.SaveJobRecord();
    // Obtained here, on the user-interface thread, before the worker asks for it.
    CProgressDlg& dialog = owner.ProgressDialog();
    CreateWorkFolders();
    ClearSaveWorkFolder(convertor);

    job.Reset();
    if (documentIndex < 0 || convertor == nullptr) {
        return false;
    }
    job.convertor = convertor;
    job.documentIndex = documentIndex;
    job.owner = &owner;
    job.notify = &OnSaveJobChanged;
    job.state = kSaveJobStarted;
    job.notify(&owner);

    job.threadRunning = true;
    std::thread worker;
    try {
        worker = std::thread([&job] {
            SaveWorker(&job);
            // Wakes the user-interface thread if it waits for the worker's end below.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        job.Reset();
        return false;
    }

    dialog.SetOwner(&owner);
    dialog.SetUpperLimit(100);
    dialog.SetMode(kProgressSave);
    const int answer = dialog.DoModal();

    // The dialog ends with the job's last report, but the worker may still be handing over its
    // final notifications, which need this thread: keep serving them until it has ended.
    while (job.threadRunning) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
    worker.join();

    const bool saved = answer == IDOK && job.converted;
    if (saved) {
        ClearSaveWorkFolder(convertor);
    }
    job.Reset();
    return saved;
}
