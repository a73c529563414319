// The preview pane of the advanced mode: the current page of the selected document, fetched from
// the device when it is shown, decoded and drawn scaled into the pane; page stepping and the
// preview check box.
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTreeWidget>

#include "app/folders/digitfilter.h"
#include "convert/pagefilename.h"
#include "device/deviceaccess.h"
#include "ui/imagepane.h"
#include "ui/maindialog.h"
#include "ui/previewlayout.h"
#include "ui/uitexts.h"

namespace {

// Set while a page is being fetched and shown: the page edit loses the focus to a failure
// message, and that must not fetch the page a second time.
bool previewing = false;

// The document index of a list item, or -1 for none.
int DocumentIndexOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

}  // namespace

void CMainDlg::ClampCurrentPage(int pageCount) {
    if (pageCount >= currentPage_) {
        currentPage_ = currentPage_ > 0 ? currentPage_ : 1;
    } else {
        currentPage_ = pageCount;
    }
}

// Fetches the current page (kept inside the selected document's page count) into the preview
// folder, decodes it and lays it out in the pane. A failed download reports "Unable to download
// the file.", switches the preview off and clears the image; a file that does not decode
// leaves the image empty without a message. The page file stays until the folder is emptied.
void CMainDlg::PreviewPage(int documentIndex) {
    previewing = true;
    ClampCurrentPage(SelectedPageCount());

    if (DeviceAccess::DownloadPageForPreview(device_, documentIndex, currentPage_) == 0) {
        ShowMessage(this, 21004, 20001);
        previewOn_ = 0;  // the check box follows when the fields are written
        ClearPreviewImage();
        previewing = false;
        return;
    }

    // The page file the download wrote, named by the document's colour class.
    const DocumentTable& table = DocumentTableFor(device_);
    const bool known = documentIndex >= 0 && documentIndex < kDocumentTableSize;
    const std::uint32_t fileId = known ? table.entries[documentIndex].fileId : 0;
    const bool monochrome = known && ColourFlags[static_cast<std::size_t>(documentIndex)] == 0;
    const QString path = PageFilePath(previewFolder_, fileId, currentPage_, monochrome);

    // A file that cannot be decoded leaves the image empty: the pane then shows its frame only.
    previewImage_ = QImage();
    previewScaled_ = QImage();
    previewImage_.load(path);

    const QRect pane = previewPane_->rect();
    previewRect_ = PreviewLayout(pane.width() - 2, pane.height() - 2, previewImage_.width(),
                                 previewImage_.height());
    if (!previewImage_.isNull() && !previewRect_.isEmpty()) {
        // Scaled once here with area averaging, so that a black-and-white page shows its text
        // in grey levels instead of dropped lines, and every repaint just copies it.
        const qreal ratio = previewPane_->devicePixelRatioF();
        previewScaled_ = previewImage_.scaled(previewRect_.size() * ratio, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation);
        previewScaled_.setDevicePixelRatio(ratio);
    }
    previewPane_->update();
    update();
    previewing = false;
}

void CMainDlg::DrawPreviewImage(QPainter& painter) {
    if (previewImage_.isNull() || previewRect_.isEmpty()) {
        return;
    }
    if (!previewScaled_.isNull() &&
        previewScaled_.deviceIndependentSize().toSize() == previewRect_.size()) {
        painter.drawImage(previewRect_.topLeft(), previewScaled_);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(previewRect_, previewImage_);
}

void CMainDlg::OnPreviousPage() {
    const int remembered = currentPage_;
    const int pageCount = SelectedPageCount();
    readFields();
    currentPage_ -= 1;
    ClampCurrentPage(pageCount);
    const int index = DocumentIndexOf(SelectedListItem());
    if (currentPage_ != remembered && previewOn_ != 0 && SelectedListItem() && index != -1) {
        PreviewPage(index);
    }
    writeFields();
}

void CMainDlg::OnNextPage() {
    const int remembered = currentPage_;
    const int pageCount = SelectedPageCount();
    readFields();
    currentPage_ += 1;
    ClampCurrentPage(pageCount);
    const int index = DocumentIndexOf(SelectedListItem());
    if (currentPage_ != remembered && previewOn_ != 0 && SelectedListItem() && index != -1) {
        PreviewPage(index);
    }
    writeFields();
}

void CMainDlg::OnPageEditDone() {
    // The edit also loses the focus when the window is hidden on exit: nothing to show then.
    if (previewing || !isVisible()) {
        return;
    }
    readFields();
    ClampCurrentPage(SelectedPageCount());
    const int index = DocumentIndexOf(SelectedListItem());
    if (previewOn_ != 0 && SelectedListItem() && index != -1) {
        PreviewPage(index);
    }
    writeFields();
}

void CMainDlg::OnPageEditChanged() {
    KeepDigitsOnly(pageEdit_);
}

void CMainDlg::OnPreviewToggled() {
    readFields();
    if (previewOn_ != 0) {
        const int index = DocumentIndexOf(SelectedListItem());
        if (SelectedListItem() && index != -1) {
            PreviewPage(index);
        }
    } else {
        ClearPreviewImage();
    }
    writeFields();
}
