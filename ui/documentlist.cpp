// The document list of the advanced mode: filled from DocumentTable, last document first.
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "device/deviceaccess.h"
#include "ui/icons.h"
#include "ui/maindialog.h"
#include "ui/uitexts.h"

QString CMainDlg::ColourText(std::int32_t format) const {
    switch (format) {
        case 0:
            return LabelText(8001);
        case 1:
            return LabelText(8002);
        default:
            return QString();
    }
}

void CMainDlg::FillDocumentList() {
    QStringList fileNames;
    QStringList timestamps;
    QStringList pages;
    DeviceAccess::DocumentColumns(device_, fileNames, timestamps, pages, ColourFlags);
    const QIcon documentIcon = VelnorIcon(IconDocument);
    for (qsizetype i = fileNames.size() - 1; i >= 0; --i) {
        auto* item = new QTreeWidgetItem();
        item->setText(0, fileNames[i]);
        item->setIcon(0, documentIcon);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setText(1, timestamps.value(i));
        item->setText(2, pages.value(i));
        item->setText(3, ColourText(ColourFlags[static_cast<std::size_t>(i)]));
        documentList_->addTopLevelItem(item);
    }
}

QTreeWidgetItem* CMainDlg::SelectedListItem() const {
    const QList<QTreeWidgetItem*> selected = documentList_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

int CMainDlg::SelectedPageCount() const {
    const QTreeWidgetItem* item = SelectedListItem();
    if (!item) {
        return 0;
    }
    const QString text = item->text(2);
    qsizetype digits = 0;
    while (digits < text.size() && digits < 9 && text[digits].isDigit()) {
        ++digits;
    }
    return digits == 0 ? 0 : text.left(digits).toInt();
}

void CMainDlg::SetPageControlsEnabled(bool enabled) {
    for (int id : {IdPreviousPage, IdNextPage, IdPageEdit}) {
        control(id)->setEnabled(enabled);
    }
}

void CMainDlg::DeleteAllListItems() {
    {
        const QSignalBlocker blocker(documentList_->selectionModel());
        documentList_->clear();
    }
    OnAllListItemsDeleted();
}

void CMainDlg::OnAllListItemsDeleted() {
    SetPageControlsEnabled(false);
    pageCountText_.clear();
    writeFields();
}

void CMainDlg::OnListSelectionChanged(bool nowSelected, bool wasSelected) {
    QTreeWidgetItem* item = SelectedListItem();
    if (nowSelected && item) {
        readFields();
        pageCountText_ = QString::number(SelectedPageCount()) + LocalizedText(10005);
        currentPage_ = 1;
        if (previewOn_ != 0) {
            PreviewPage(item->data(0, Qt::UserRole).toInt());
        }
        SetPageControlsEnabled(true);
        writeFields();
    } else if (wasSelected) {
        readFields();
        currentPage_ = 1;
        SetPageControlsEnabled(false);
        ClearPreviewImage();
        pageCountText_.clear();
        writeFields();
    }
}

void CMainDlg::OnListRightClick(const QPoint& position) {
    const QTreeWidgetItem* item = SelectedListItem();
    if (!item || item->data(0, Qt::UserRole).toInt() == -1) {
        return;
    }
    QMenu menu(this);
    QAction* remove = menu.addAction(LocalizedText(30201));
    remove->setObjectName(idName(IdMenuDelete));
    if (menu.exec(documentList_->viewport()->mapToGlobal(position)) == remove) {
        runCommand(IdMenuDelete);
    }
}
