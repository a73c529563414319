// The save commands of the main window: the advanced save (selected document, page range, file
// chosen in a save-as dialog) and the simple save (the document on show, whole, time-stamped in
// the destination folder), each optionally deleting the document from its box afterwards; and
// the page-range choice.
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>

#include "app/folders/digitfilter.h"
#include "device/deviceaccess.h"
#include "ui/maindialog.h"
#include "ui/outputchecks.h"
#include "ui/progress/runsavejob.h"
#include "ui/savecommandsdelete.h"
#include "ui/savefilename.h"
#include "ui/uitexts.h"
#include "ui/updowncontrol.h"

namespace {

// The number at the start of `text`, or 0 when it does not start with a digit.
int LeadingNumber(const QString& text) {
    qsizetype digits = 0;
    while (digits < text.size() && digits < 9 && text[digits].isDigit()) {
        ++digits;
    }
    return digits == 0 ? 0 : text.left(digits).toInt();
}

// The folder and file name a chosen path stands for: a path naming an existing folder is that
// folder with no name (the convertor then names the output after the time); otherwise the text
// before and after the last "/". False for a path without "/".
bool SplitOutputPath(const QString& path, QString& folder, QString& name) {
    if (QFileInfo(path).isDir()) {
        folder = path;
        name.clear();
        return true;
    }
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return false;
    }
    folder = path.left(slash == 0 ? 1 : slash);
    name = path.mid(slash + 1);
    return true;
}

}  // namespace

void CMainDlg::OnPageRangeChoice() {
    readFields();
    const bool pages = pageRange_ == 2;
    for (int id : {IdFromPage, IdToPage, IdFromUpDown, IdToUpDown}) {
        control(id)->setEnabled(pages);
    }
    if (pages) {
        for (CUpDownCtrl* upDown : {fromUpDown_, toUpDown_}) {
            upDown->setRange(1, 9999);
            upDown->setPos(1);
        }
    }
    readFields();
    writeFields();
}

void CMainDlg::OnRangeEditChanged(int id) {
    KeepDigitsOnly(this, id);
}

// The advanced save of the selected document's page range. Nothing is written or sent before
// the range is valid and a file is chosen; the dialog is asked again until a convertor is
// prepared for the chosen path and its destination passes the checks, or the user cancels.
// The document is deleted (with "Delete after save") only after the save job reported a
// complete save that the user confirmed, and only once the outputs are on stable storage;
// every other path keeps it in its box. The convertor stays in the window's slot afterwards.
void CMainDlg::StartSave() {
    readFields();

    const QTreeWidgetItem* item = SelectedListItem();
    const int documentIndex = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (!item || documentIndex == -1) {
        ShowMessage(this, 21010, 20002);
        return;
    }

    const int pageCount = SelectedPageCount();
    int first = 1;
    int last = pageCount;
    if (pageRange_ == 1) {
        first = last = currentPage_;
    } else if (pageRange_ == 2) {
        first = LeadingNumber(fromText_);
        last = LeadingNumber(toText_);
    }
    if (!(first > 0 && last >= first && last <= pageCount)) {
        ShowMessage(this, 21011, 20002);
        return;
    }

    const bool monochrome = documentIndex >= 0 && documentIndex < kDocumentTableSize &&
                            ColourFlags[static_cast<std::size_t>(documentIndex)] == 0;
    const int format = monochrome ? settings_.MonoFormat : settings_.ColorFormat;

    // Ask for a file until a convertor is prepared for it and its destination checked.
    IConvertor* convertor = nullptr;
    while (convertor == nullptr) {
        const SaveFileChoice choice =
            AskSaveFileName(this, monochrome, format, settings_.folderPath);
        if (choice.result != IDOK) {
            return;
        }
        IConvertor* candidate = CreateConvertor(monochrome, convertor_, choice.type);
        if (candidate == nullptr) {
            continue;
        }
        QString folder;
        QString name;
        if (SplitOutputPath(choice.path, folder, name)) {
            const bool prepared = candidate->Prepare(folder, name) >= 0 &&
                                  candidate->SetWorkFolder(saveFolder_) >= 0 &&
                                  candidate->SetPageRange(first, last) >= 0;
            if (prepared && CheckOutputPaths(this, candidate)) {
                convertor = candidate;
                break;
            }
            if (prepared) {
                candidate->Reset();
            }
        }
        convertor_.reset();
    }

    if (!RunSaveJob(*this, documentIndex, convertor)) {
        return;  // nothing complete was saved: the document stays in its box
    }

    if (deleteAfterSave_ == 1) {
        std::int32_t code = 0;
        switch (DeleteSavedDocument(device_, documentIndex, *convertor, &code)) {
            case SavedDocumentDelete::NotDurable:
                // The saved file could not be made safe on disk: keep the box's copy.
                ShowMessage(this, 21005, 20002);
                return;
            case SavedDocumentDelete::DeleteFailed:
                ReportDeviceError(code);
                break;
            case SavedDocumentDelete::Deleted:
                break;
        }
        const std::uint32_t key = TreeKeyOf(SelectedTreeItem());
        const int boxIndex = DeviceAccess::FindBoxIndex(device_, key);
        code = 0;
        if (DeviceAccess::ListDocuments(device_, key, boxIndex, password_.password, &code) != 0) {
            DeleteAllListItems();
            ClearPreviewImage();
            FillDocumentList();
        } else {
            ReportDeviceError(code);
        }
    }
}

// The simple save of the document on show, whole, under a time-stamped name in the
// destination folder. Stops silently when no convertor serves the format or the destination
// fails its checks (those show their own messages). After a confirmed save the document is
// deleted when DeleteFile is set (outputs flushed first, as in the advanced save) and the
// next older document is shown; the box is not listed again.
void CMainDlg::StartSimpleSave() {
    if (simpleDocument_.index < 0) {
        ShowMessage(this, 21010, 20002);
        return;
    }
    readFields();
    const int pageCount = LeadingNumber(simplePagesText_);

    int type = kConvertorPdf;
    if (simpleFormatText_ == QStringLiteral("TIFF")) {
        type = kConvertorTiff;
    } else if (simpleFormatText_ == QStringLiteral("JPEG")) {
        type = kConvertorJpeg;
    }
    // The colour class of the document on show, which after a save is an older one than the
    // newest document the record describes.
    const int documentIndex = simpleDocument_.index - savedCount;
    if (documentIndex < 0 || documentIndex >= kDocumentTableSize) {
        ShowMessage(this, 21010, 20002);
        return;
    }
    const bool monochrome = ColourFlags[static_cast<std::size_t>(documentIndex)] == 0;
    IConvertor* convertor = CreateConvertor(monochrome, convertor_, type);
    if (convertor == nullptr) {
        return;
    }
    if (convertor->Prepare(settings_.folderPath, QString()) < 0 ||
        convertor->SetWorkFolder(saveFolder_) < 0 || convertor->SetPageRange(1, pageCount) < 0 ||
        !CheckOutputPaths(this, convertor)) {
        return;
    }

    if (!RunSaveJob(*this, documentIndex, convertor)) {
        return;  // nothing complete was saved: the document stays in its box
    }

    if (settings_.DeleteFile != 0) {
        std::int32_t code = 0;
        switch (DeleteSavedDocument(device_, documentIndex, *convertor, &code)) {
            case SavedDocumentDelete::NotDurable:
                ShowMessage(this, 21005, 20002);
                break;
            case SavedDocumentDelete::DeleteFailed:
                ReportDeviceError(code);
                break;
            case SavedDocumentDelete::Deleted:
                break;
        }
    }
    savedCount += 1;
    ShowDocumentAt(simpleDocument_.index - savedCount);
}
