#pragma once

#include <QString>

#include <cstdint>

#include "platform/dialogframe.h"

class ISaveJobOwner;
class QLabel;
class QProgressBar;
class QPushButton;

// What the progress dialog shows.
enum ProgressMode : std::int32_t {
    kProgressSave = 0,                 // modal during a save: bar, OK after success, Cancel
    kProgressPreparingSimpleMode = 1,  // modeless waiting window while switching to simple mode
    kProgressStartingApplication = 2   // modeless waiting window at start-up
};

// Why a save failed, for ShowSaveFailure.
enum class SaveFailureKind { Download, Conversion };

// Control ids of the progress dialog.
inline constexpr int kProgressStatusId = 5101;
inline constexpr int kProgressBarId = 5001;
inline constexpr int kProgressOkId = 5201;
inline constexpr int kProgressCancelId = 5202;

// The progress dialog: a status line, a bar, OK (closes after success) and Cancel (asks the save
// job to stop). In Save mode it is run modally by RunSaveJob, once per save, and is reused by
// every save; it never closes while the job runs: Escape and the window's close request are
// ignored until the job has ended, and Cancel only asks the job to stop. The job ends it with
// a close request. In the two waiting modes it is a modeless window with a text only.
//
// Every member must be used on the user-interface thread; the save worker reaches it through
// OnSaveJobChanged, which makes blocking queued calls.
class CProgressDlg : public DialogFrame {
    Q_OBJECT
  public:
    // Builds the dialog (status text empty, upper limit 0). In the two waiting modes the window
    // is also shown at once, modeless, with its text, the bar hidden and both buttons disabled;
    // the caller destroys it (deleting the object, or with its parent).
    explicit CProgressDlg(std::int32_t mode, QWidget* parent = nullptr);

    // The main window (or whoever runs the save) whose RequestCancel the Cancel button calls.
    void SetOwner(ISaveJobOwner* owner) { m_owner = owner; }
    void SetUpperLimit(std::int32_t limit) { m_upperLimit = limit; }
    void SetMode(std::int32_t mode) { m_mode = mode; }
    std::int32_t Mode() const { return m_mode; }

    // Opens the dialog modally for one save: resets the status to "Now Saving Document(s)", the
    // bar to 0 of the upper limit, OK disabled and Cancel enabled, then runs it until the job
    // closes it (IDCANCEL) or the user presses OK after success (IDOK). The job's notifications
    // are handled by this dialog's event loop, so one that is made before the window is shown
    // waits for it instead of being lost.
    int DoModal();

    // True while the window is open (between showing and closing). A notification that finds
    // no window is dropped.
    bool HasWindow() const { return m_open; }

    // Page `page` of `total` arrived: the bar moves to page x 90 / total. When page > total the
    // save is complete: bar at the upper limit, "Saved successfully", OK enabled and default,
    // Cancel disabled.
    void ShowProgress(std::int32_t page, std::int32_t total);

    // Shows the failure's message box ("Unable to download the file." / "Communication" or
    // "Failed to save the file." / "Save") owned by the dialog, sets the status to "Failed to
    // save the file." and posts a close request; the dialog then ends with IDCANCEL.
    void ShowSaveFailure(SaveFailureKind kind);

    // True when ShowSaveFailure ran since the dialog was last opened.
    bool FailureShown() const { return m_failureShown; }

    // Posts a request to end the dialog with IDCANCEL; it is handled by the dialog's event loop
    // and ignored when the dialog is no longer open. Safe to call from any thread.
    void PostCloseRequest();

    // The fields, as the controls show them after writeFields().
    QString m_statusText;
    std::int32_t m_upperLimit = 0;
    std::int32_t m_mode = kProgressSave;

  protected:
    void onInitDialog() override;
    void writeFields() override;
    void readFields() override;

  private:
    void OnOkButton();
    void OnCancelButton();
    void OnEscape();
    void CloseFromJob();
    void PrepareOpening();

    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    ISaveJobOwner* m_owner = nullptr;
    bool m_open = false;
    bool m_failureShown = false;
};
