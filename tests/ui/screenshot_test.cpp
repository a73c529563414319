// Pictures of the main window in both modes, for a look by eye: written as PNG files into the
// folder named by VELNOR_UI_SCREENSHOT_DIR (the test only checks that they can be taken).
#include <QDir>
#include <QPixmap>
#include <QTreeWidget>

#include "tests/ui/uitestenv.h"
#include "ui/passworddialog.h"

TEST_F(UiTest, BothModesCanBePictured) {
    CMainDlg& dlg = OpenWindow();
    QTreeWidget* tree = dlg.control<QTreeWidget>(CMainDlg::IdBoxTree);
    QTreeWidgetItem* scans = tree->topLevelItem(0)->child(0);
    dlg.OpenBox(scans);
    tree->setCurrentItem(scans);
    QTreeWidget* list = dlg.control<QTreeWidget>(CMainDlg::IdDocumentList);
    list->setCurrentItem(list->topLevelItem(1));

    const QString folder = qEnvironmentVariable("VELNOR_UI_SCREENSHOT_DIR");
    auto picture = [&](const QString& name) {
        QApplication::processEvents();
        const QPixmap pixmap = dlg.grab();
        EXPECT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), dlg.size());
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            EXPECT_TRUE(pixmap.save(folder + "/" + name));
        }
    };
    picture("advanced.png");
    dlg.SetMode(CMainDlg::ModeSimple);
    picture("simple.png");

    if (!folder.isEmpty()) {
        CPasswordDlg password(&dlg);
        password.show();
        QApplication::processEvents();
        password.grab().save(folder + "/password.png");
    }
}
