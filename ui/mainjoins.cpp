// The main window's join with the MFP selection (Settings > Select MFP). The preview and the
// save and delete commands, once joined here too, live in ui/preview*.cpp and
// ui/savecommands*.cpp.
#include "device/selectmfp/selectmfpdialog.h"
#include "ui/maindialog.h"

// MFP selection: the selection dialog without automatic confirmation, owned by the window.
int CMainDlg::RunMfpSelection() {
    return SelectMfp(0, nullptr, record_, this);
}
