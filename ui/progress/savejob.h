#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

class CProgressDlg;
class IConvertor;
struct MFPInfo;
struct PageImageInfo;

// States of a save job. Started -> Downloading -> Converting -> Finished on success;
// Downloading -> DownloadFailed -> Finished, Converting -> ConversionFailed -> Finished, or
// Downloading -> Cancelled -> Finished otherwise.
enum SaveJobState : std::int32_t {
    kSaveJobStarted = 1,            // RunSaveJob handed the job over
    kSaveJobDownloading = 2,        // the worker started
    kSaveJobConverting = 3,         // every page arrived and no cancellation was asked for
    kSaveJobFinished = 4,           // the worker ended, whatever happened; also the reset value
    kSaveJobCancelled = 5,          // the worker saw the cancel request after a page
    kSaveJobDownloadFailed = 128,   // a page could not be downloaded (current = that page)
    kSaveJobConversionFailed = 129  // the convertor failed (current = 0)
};

class ISaveJobOwner;

// Downloads one page of the document at `documentIndex` into the save folder and fills *info;
// returns 0 on failure, anything else counts as success (the device access layer's contract).
using PageDownloadFunction =
    std::function<int(const MFPInfo& mfp, int documentIndex, int page, PageImageInfo* info)>;

// The record a save shares between the user-interface thread, the worker and the dialog. The
// user-interface thread writes only cancelRequested while the worker runs; the worker writes
// the rest and hands every change to notify, which reaches the dialog on the user-interface
// thread.
struct SaveJob {
    std::atomic<std::int32_t> cancelRequested{0};  // 1 once RequestCancel was called
    std::int32_t state = kSaveJobFinished;
    std::int32_t current = 0;  // page most recently handled, or 0
    std::int32_t last = 0;     // last page of the range
    void (*notify)(ISaveJobOwner* owner) = nullptr;
    ISaveJobOwner* owner = nullptr;
    std::atomic<bool> threadRunning{false};  // a worker runs this job
    IConvertor* convertor = nullptr;         // prepared convertor, owned by the main window
    std::int32_t documentIndex = -1;         // index in the path's DocumentTable; -1 none
    bool converted = false;                  // the convertor reported every output complete

    // How the worker fetches a page: DeviceAccess::DownloadPageForSave unless replaced (tests
    // wrap it to pause or fail a page). Not part of the record's state: Reset() keeps it.
    PageDownloadFunction downloadPage;

    SaveJob();

    // Back to the reset values: cancel 0, state Finished, current 0, last 0, no notify, no
    // owner, no thread, no convertor, document index -1, not converted.
    void Reset();
};

// What the save job needs of its owner (the main window): the record, the progress dialog
// object reused by every save, and the cancel request of the dialog's Cancel button.
class ISaveJobOwner {
  public:
    virtual ~ISaveJobOwner() = default;
    virtual SaveJob& SaveJobRecord() = 0;
    // The same object on every call. RunSaveJob asks for it first on the user-interface thread;
    // the worker's notifications ask again from the worker thread, so it must not be created there.
    virtual CProgressDlg& ProgressDialog() = 0;
    // Sets the record's cancel flag; the worker stops after the page it is downloading.
    virtual void RequestCancel() = 0;
};
