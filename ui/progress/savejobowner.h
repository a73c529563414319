#pragma once

#include <memory>

#include "ui/progress/savejob.h"

class CProgressDlg;
class QWidget;

// A ready owner for save jobs: the job record, the progress dialog reused by every save (a
// child of `window`) and the cancel request. The main window keeps one and hands it to
// RunSaveJob. Use on the user-interface thread; RequestCancel may be called from any thread.
class CSaveJobOwner : public ISaveJobOwner {
  public:
    explicit CSaveJobOwner(QWidget* window = nullptr);
    ~CSaveJobOwner() override;
    CSaveJobOwner(const CSaveJobOwner&) = delete;
    CSaveJobOwner& operator=(const CSaveJobOwner&) = delete;

    SaveJob& SaveJobRecord() override { return m_job; }
    CProgressDlg& ProgressDialog() override { return *m_dialog; }
    // Sets the job's cancel flag to 1.
    void RequestCancel() override;

  private:
    SaveJob m_job;
    std::unique_ptr<CProgressDlg> m_dialog;
};
