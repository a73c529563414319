// screenshots: pictures of every window of Velnor for the user guide.
//
//   screenshots <output folder> <simulator http port> <simulator search port>
//
// Runs from the program folder (it binds the run-time libraries beside itself, as Velnor does)
// against a simulator on 127.0.0.1 that holds the demo store: boxes "Scans", "Invoices", "Finance"
// (password "1234") and "Empty". Each window is opened offscreen, grabbed and written as a PNG.
// Exits with 0 when every picture was written.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/about/aboutdialog.h"
#include "app/binding/applicationlibraries.h"
#include "app/settings/currentsettings.h"
#include "app/texts/textsources.h"
#include "app/texts/texttables.h"
#include "device/deviceaccess.h"
#include "device/selectmfp/selectmfpdialog.h"
#include "tools/screenshots/windowpictures.h"
#include "ui/basicsettingdialog.h"
#include "ui/maindialog.h"
#include "ui/passworddialog.h"
#include "ui/progress/progressdialog.h"

namespace {

// The tree item of the box named `name` below the device's root item.
QTreeWidgetItem* BoxItem(QTreeWidget* tree, const QString& name) {
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name) {
            return root->child(i);
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: screenshots <output folder> <http port> <search port>\n");
        return 2;
    }
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const int httpPort = std::atoi(argv[2]);
    const int searchPort = std::atoi(argv[3]);

    // As start-up: the text sources and tables, the transport, the settings.
    OpenTextSources();
    FillTextTable(MessageTextTable);
    FillTextTable(ProgressTextTable);
    FillTextTable(LabelTextTable);
    // Every run-time library from beside this program, bound as start-up binds them.
    ApplicationLibraries libraries;
    if (libraries.Bind(QStringLiteral("screenshots"), QStringLiteral("cannot bind %s")) != 0) {
        return 1;
    }
    MFPInfo mfp;
    mfp.IPv4Address = QStringLiteral("127.0.0.1");
    mfp.isSpecifiedIPAddress = 1;
    mfp.SpecifiedIPAddress = QStringLiteral("127.0.0.1");
    mfp.httpPortNumber = static_cast<uint16_t>(httpPort);
    mfp.SearchPortNumber = static_cast<uint16_t>(searchPort);
    SetMFPInfo(mfp);
    SettingInfo settings;
    settings.machineName = QStringLiteral("127.0.0.1");
    settings.boxIndex = 1;
    settings.folderPath = QStringLiteral("/home/user/Documents");
    settings.SimpleMode = 0;
    SetSettingInfo(settings);
    SetPasswordInfo(PasswordInfo());
    QStringList boxNames;
    if (DeviceAccess::ListBoxes(mfp, boxNames) != 1) {
        std::fprintf(stderr, "screenshots: the simulator on port %d does not answer\n", httpPort);
        return 1;
    }

    WindowPictures pictures(folder);

    // The waiting window of start-up.
    {
        CProgressDlg waiting(kProgressStartingApplication);
        pictures.take(waiting, QStringLiteral("waiting"));
    }

    // MFP selection, after a search on loopback found the simulator.
    {
        MFPInfo searching = mfp;
        searching.isSpecifiedIPAddress = 0;
        SetMFPInfo(searching);
        CSelectMfpDlg select(0, nullptr, nullptr);
        select.show();
        if (auto* search = select.control<QPushButton>(CSelectMfpDlg::IDC_SEARCH)) {
            search->click();
        }
        pictures.take(select, QStringLiteral("select-mfp"));
        SetMFPInfo(mfp);
    }

    // The main window, advanced mode: the box "Scans" open, its newest document selected.
    CMainDlg main;
    main.show();
    QTreeWidget* tree = main.control<QTreeWidget>(CMainDlg::IdBoxTree);
    QTreeWidget* list = main.control<QTreeWidget>(CMainDlg::IdDocumentList);
    if (QTreeWidgetItem* scans = BoxItem(tree, QStringLiteral("Scans"))) {
        tree->setCurrentItem(scans);
        main.OpenBox(scans);
    }
    if (list->topLevelItemCount() > 0) {
        list->setCurrentItem(list->topLevelItem(0));
    }
    pictures.take(main, QStringLiteral("main-advanced"));

    // The same with the preview of the selected document's first page.
    if (auto* preview = main.control<QCheckBox>(CMainDlg::IdPreviewCheck)) {
        preview->click();
    }
    pictures.take(main, QStringLiteral("main-preview"));
    if (auto* preview = main.control<QCheckBox>(CMainDlg::IdPreviewCheck)) {
        preview->click();
    }

    // The box password prompt of the protected box.
    {
        CPasswordDlg password(&main);
        pictures.take(password, QStringLiteral("box-password"));
    }

    // Basic settings, with the device's boxes to choose from.
    {
        CBasicSettingDlg basic(boxNames, &main);
        pictures.take(basic, QStringLiteral("basic-settings"));
    }

    // The progress dialog half way through a save of four pages, run modally as a save runs it.
    {
        CProgressDlg progress(kProgressSave, &main);
        progress.SetUpperLimit(100);
        QTimer::singleShot(200, &progress, [&] {
            progress.ShowProgress(2, 4);
            pictures.take(progress, QStringLiteral("progress"));
            progress.PostCloseRequest();
        });
        progress.DoModal();
    }

    // About.
    {
        CAboutDlg about(&main);
        pictures.take(about, QStringLiteral("about"));
    }

    // Simple mode: the newest document of the configured box.
    main.SetMode(CMainDlg::ModeSimple);
    pictures.take(main, QStringLiteral("main-simple"));
    main.hide();

    ReleaseTextSources();
    libraries.Free();
    return pictures.failures() == 0 ? 0 : 1;
}
