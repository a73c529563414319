// Deleting documents from their box: after a save, and the document list's Delete command.
#include "ui/savecommandsdelete.h"

#include <QTreeWidget>

#include "convert/convertor.h"
#include "device/deviceaccess.h"
#include "platform/durablefiles.h"
#include "ui/maindialog.h"
#include "ui/uitexts.h"

SavedDocumentDelete DeleteSavedDocument(const MFPInfo& mfp, int documentIndex,
                                        const IConvertor& convertor, std::int32_t* code) {
    if (code != nullptr) {
        *code = 0;
    }
    if (!FlushToStableStorage(convertor.m_outputs).ok()) {
        return SavedDocumentDelete::NotDurable;
    }
    if (DeviceAccess::DeleteDocument(mfp, documentIndex, code) == 0) {
        return SavedDocumentDelete::DeleteFailed;
    }
    return SavedDocumentDelete::Deleted;
}

// The document list's Delete command: deletes the selected document without asking, then lists
// its box again. A refused delete reports "Unable to connect to the scanner." and leaves the
// list as it was; a failed listing reports its error (and empties the list when the device
// sent no code).
void CMainDlg::DeleteSelectedDocument() {
    const QTreeWidgetItem* selected = SelectedListItem();
    const int documentIndex = selected ? selected->data(0, Qt::UserRole).toInt() : -1;
    if (DeviceAccess::DeleteDocument(device_, documentIndex, nullptr) == 0) {
        ReportDeviceError(0);
        return;
    }

    const std::uint32_t key = TreeKeyOf(SelectedTreeItem());
    const int boxIndex = DeviceAccess::FindBoxIndex(device_, key);
    std::int32_t code = 0;
    if (DeviceAccess::ListDocuments(device_, key, boxIndex, password_.password, &code) != 0) {
        DeleteAllListItems();
        ClearPreviewImage();  // the page on show may be of the deleted document
        FillDocumentList();
    } else if (code != 0) {
        ReportDeviceError(code);
    } else {
        ShowMessage(this, 21001, 20001);
        DeleteAllListItems();
        ClearPreviewImage();
    }
}
