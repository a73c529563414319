#include "ui/progress/savejobowner.h"

#include "ui/progress/progressdialog.h"

CSaveJobOwner::CSaveJobOwner(QWidget* window)
    : m_dialog(std::make_unique<CProgressDlg>(kProgressSave, window)) {
    m_dialog->SetOwner(this);
}

CSaveJobOwner::~CSaveJobOwner() = default;

void CSaveJobOwner::RequestCancel() {
    m_job.cancelRequested = 1;
}
