// The box tree of the advanced mode: built from BoxTable, a click on a box lists its documents.
#include <QTreeWidget>

#include "device/deviceaccess.h"
#include "ui/icons.h"
#include "ui/maindialog.h"
#include "ui/passworddialog.h"
#include "ui/uitexts.h"

namespace {

// A box shows a closed box, and an open one while it is selected.
QIcon BoxItemIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        icon.addPixmap(VelnorIcon(IconBox).pixmap(size), QIcon::Normal);
        icon.addPixmap(VelnorIcon(IconOpenBox).pixmap(size), QIcon::Selected);
    }
    return icon;
}

}  // namespace

std::uint32_t CMainDlg::TreeKeyOf(QTreeWidgetItem* item) const {
    return item ? item->data(0, Qt::UserRole).toUInt() : 0;
}

QTreeWidgetItem* CMainDlg::SelectedTreeItem() const {
    const QList<QTreeWidgetItem*> selected = boxTree_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void CMainDlg::FillBoxTree(bool relist) {
    boxTree_->clear();
    DeleteAllListItems();
    const QString key = DeviceKey();
    readFields();

    if (relist) {
        if (key.isEmpty()) {
            ShowMessage(this, 21007, 20003);
            return;
        }
        if (DeviceAccess::ListBoxes(device_, advancedBoxNames_) == 0) {
            ShowMessage(this, 21001, 20001);
            return;
        }
    } else {
        advancedBoxNames_.clear();
        DeviceAccess::CurrentBoxNames(device_, advancedBoxNames_);
    }

    // Tree keys are handles of items: unique, non-zero and never reused while the window lives.
    BoxTable& table = BoxTableFor(device_);
    const int count = std::min<int>(table.count, advancedBoxNames_.size());
    if (count > 0) {
        auto* root = new QTreeWidgetItem(boxTree_, QStringList(advancedBoxNames_[0]));
        root->setIcon(0, VelnorIcon(IconDevice));
        root->setData(0, Qt::UserRole, nextTreeKey_);
        table.entries[0].treeKey = nextTreeKey_++;
        const QIcon boxIcon = BoxItemIcon();
        for (int i = 1; i < count; ++i) {
            auto* box = new QTreeWidgetItem(root, QStringList(advancedBoxNames_[i]));
            box->setIcon(0, boxIcon);
            box->setData(0, Qt::UserRole, nextTreeKey_);
            table.entries[i].treeKey = nextTreeKey_++;
        }
        root->setExpanded(true);
        // Selecting the root lists nothing: documents appear only after a click on a box.
        boxTree_->setCurrentItem(root);
    }
    ClearPreviewImage();
    currentPage_ = 1;
    writeFields();
}

void CMainDlg::OnTreeClicked(const QPoint& position) {
    readFields();
    writeFields();
    QTreeWidgetItem* item = boxTree_->itemAt(position);
    if (item) {
        boxTree_->setCurrentItem(item);
    } else {
        boxTree_->clearSelection();
        boxTree_->setCurrentItem(nullptr);
    }
    OpenBox(item);
}

void CMainDlg::OpenBox(QTreeWidgetItem* item) {
    DeleteAllListItems();
    ClearPreviewImage();

    const std::uint32_t key = TreeKeyOf(item);
    if (DeviceAccess::BoxNeedsPassword(device_, key) && password_.savePassword == 0) {
        if (AskBoxPassword(this) == 0) {
            return;
        }
        password_ = SyncFromCurrent(record_.passwordInfo);
    }
    const int index = DeviceAccess::FindBoxIndex(device_, key);
    if (index == 0) {
        return;
    }
    std::int32_t code = 0;
    if (DeviceAccess::ListDocuments(device_, key, index, password_.password, &code) != 0) {
        FillDocumentList();
    } else {
        ReportDeviceError(code);
    }
}
