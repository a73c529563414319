// Joins of the main window with the commands that other files of this folder implement.
//
// Each function below is a placeholder that keeps the window working until its real version
// lands: the preview commands in ui/preview*.cpp, the save and delete commands in
// ui/savecommands*.cpp, the MFP selection with the selection dialog. Whoever lands one moves
// it out of this file (delete it here in the same commit).
#include "ui/maindialog.h"

// Preview pane and page stepping.
void CMainDlg::PreviewPage(int) {}
void CMainDlg::ClampCurrentPage(int) {}
void CMainDlg::DrawPreviewImage(QPainter&) {}
void CMainDlg::OnPreviousPage() {}
void CMainDlg::OnNextPage() {}
void CMainDlg::OnPageEditDone() {}
void CMainDlg::OnPageEditChanged() {}
void CMainDlg::OnPreviewToggled() {}

// Save and delete commands, page range choice.
void CMainDlg::StartSave() {}
void CMainDlg::StartSimpleSave() {}
void CMainDlg::DeleteSelectedDocument() {}
void CMainDlg::OnPageRangeChoice() {}
void CMainDlg::OnRangeEditChanged(int) {}

// MFP selection: SelectMfp(0, nullptr, record_, this) once the selection dialog exists.
int CMainDlg::RunMfpSelection() {
    return 0;
}
