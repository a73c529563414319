#include "ui/progress/progressdialog.h"

#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>

#include "app/texts/texttables.h"
#include "platform/messagebox.h"
#include "ui/progress/progresstexts.h"
#include "ui/progress/savejob.h"

namespace {

QString ProgressText(int id) {
    return FindTableText(ProgressTextTable, id);
}

QString MessageText(int id) {
    return FindTableText(MessageTextTable, id);
}

// Template of the dialog in dialog units, 8-point font.
constexpr int kTemplateWidth = 193;
constexpr int kTemplateHeight = 64;
constexpr int kTemplateFontPoints = 8;

}  // namespace

CProgressDlg::CProgressDlg(std::int32_t mode, QWidget* parent) : DialogFrame(parent), m_mode(mode) {
    // No close button: the window's Close item stays greyed; the job ends the dialog.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setTemplateFont(kTemplateFontPoints);
    setTemplateSize(kTemplateWidth, kTemplateHeight);

    m_status = addControl<QLabel>(kProgressStatusId, QRect(17, 14, 158, 8));
    m_status->setAlignment(Qt::AlignCenter);
    m_bar = addControl<QProgressBar>(kProgressBarId, QRect(15, 25, 160, 14));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    m_ok = addControl<QPushButton>(kProgressOkId, QRect(33, 43, 50, 14), QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = addControl<QPushButton>(kProgressCancelId, QRect(107, 43, 50, 14),
                                       QStringLiteral("Cancel"));

    onCommand(kProgressOkId, [this] { OnOkButton(); });
    onCommand(kProgressCancelId, [this] { OnCancelButton(); });
    // Enter without an enabled default button, Escape and the window's close request.
    onCommand(IDOK, [this] { OnOkButton(); });
    onCommand(IDCANCEL, [this] { OnEscape(); });

    if (m_mode == kProgressPreparingSimpleMode || m_mode == kProgressStartingApplication) {
        setModal(false);
        m_statusText =
            ProgressText(m_mode == kProgressPreparingSimpleMode ? kTextPreparingSimpleMode
                                                                : kTextStartingApplication);
        m_bar->hide();
        m_ok->setEnabled(false);
        m_cancel->setEnabled(false);
        writeFields();
        show();
        m_open = true;
    }
}

void CProgressDlg::onInitDialog() {
    LocalizeProgressDialog(*this);
    writeFields();
}

void CProgressDlg::writeFields() {
    m_status->setText(m_statusText);
}

void CProgressDlg::readFields() {}

void CProgressDlg::PrepareOpening() {
    LocalizeProgressDialog(*this);
    m_failureShown = false;
    if (m_mode == kProgressSave) {
        // The widgets outlive each opening: bring every one back to its opening state.
        m_statusText = ProgressText(kTextNowSaving);
        m_bar->show();
        m_ok->setEnabled(false);
        m_cancel->setEnabled(true);
        m_ok->setDefault(true);
        m_cancel->setDefault(false);
    } else {
        m_bar->hide();
        m_ok->setEnabled(false);
        m_cancel->setEnabled(false);
    }
    m_bar->setRange(0, m_upperLimit > 0 ? m_upperLimit : 0);
    m_bar->setValue(0);
    if (m_statusText == ProgressText(kTextSavedSuccessfully)) {
        m_statusText = ProgressText(kTextNowSaving);
    }
    writeFields();
}

int CProgressDlg::DoModal() {
    PrepareOpening();
    setModal(true);
    m_open = true;
    const int result = exec();
    m_open = false;
    return result;
}

void CProgressDlg::ShowProgress(std::int32_t page, std::int32_t total) {
    if (page <= total) {
        // Multiply first: with the division first a range of 91 pages or more would leave the
        // bar at 0 until the end.
        if (total > 0) {
            const long long position = static_cast<long long>(page) * 90 / total;
            m_bar->setValue(static_cast<int>(position));
        }
        return;
    }
    m_bar->setValue(m_upperLimit);
    m_statusText = ProgressText(kTextSavedSuccessfully);
    writeFields();
    m_ok->setEnabled(true);
    m_cancel->setEnabled(false);
    m_cancel->setDefault(false);
    m_ok->setDefault(true);
    m_ok->setFocus();
}

void CProgressDlg::ShowSaveFailure(SaveFailureKind kind) {
    m_failureShown = true;
    const bool download = kind == SaveFailureKind::Download;
    const QString text = MessageText(download ? kTextUnableToDownload : kTextFailedToSave);
    const QString caption = MessageText(download ? kCaptionCommunication : kCaptionSave);
    if (!text.isEmpty() && !caption.isEmpty()) {
        ShowMessageBox(this, text, caption, MB_OK | MB_ICONERROR);
    }
    m_statusText = MessageText(kTextFailedToSave);
    writeFields();
    if (m_open) {
        PostCloseRequest();
    }
}

void CProgressDlg::PostCloseRequest() {
    QMetaObject::invokeMethod(
        this, [this] { CloseFromJob(); }, Qt::QueuedConnection);
}

void CProgressDlg::CloseFromJob() {
    // A request that arrives after the dialog has ended (a second one of the same job) is stale.
    if (m_open && isVisible()) {
        endDialog(IDCANCEL);
    }
}

void CProgressDlg::OnOkButton() {
    if (!m_ok->isEnabled()) {
        return;
    }
    readFields();
    endDialog(IDOK);
}

void CProgressDlg::OnCancelButton() {
    if (!m_cancel->isEnabled()) {
        return;
    }
    if (m_owner != nullptr) {
        m_owner->RequestCancel();
    }
    m_cancel->setEnabled(false);
}

void CProgressDlg::OnEscape() {
    // The dialog must not close while the job runs; once OK is offered the job has ended and
    // Escape closes it like the window's close request, without counting the save.
    if (m_ok->isEnabled()) {
        endDialog(IDCANCEL);
    }
}
