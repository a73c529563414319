#include "app/startup/dalloryapp.h"

#include <memory>

#include "app/settings/settings.h"
#include "app/texts.h"
#include "device/selectmfp/selectmfpdialog.h"
#include "platform/messagebox.h"
#include "ui/maindialog.h"
#include "ui/progress/progressdialog.h"

namespace {

constexpr int kTextLibraryFailureFormat = 21101;  // one placeholder: a file name
constexpr int kTextLibraryFailureCaption = 20005;
constexpr int kTextAlreadyRunning = 21014;  // "Velnor is already running. "

}  // namespace

CDalloryApp::CDalloryApp(int& argc, char** argv) : QApplication(argc, argv) {}

CDalloryApp::~CDalloryApp() {
    ExitInstance();
}

CDalloryApp* CDalloryApp::theApp() {
    return qobject_cast<CDalloryApp*>(QCoreApplication::instance());
}

bool CDalloryApp::InitInstance() {
    // Steps 1-2 (common controls, framework start-up) are done by constructing the QApplication.

    // Step 3: the text sources and the three id/text tables.
    OpenTextSources();
    FillTextTable(MessageTextTable);
    FillTextTable(ProgressTextTable);
    FillTextTable(LabelTextTable);

    // Step 4: caption and format of the start-up failure messages.
    const QString format = FindTableText(MessageTextTable, kTextLibraryFailureFormat);
    const QString caption = FindTableText(MessageTextTable, kTextLibraryFailureCaption);

    // Step 5: bind the run-time libraries; a failure has already shown its message.
    if (libraries_.Bind(caption, format) < 0) {
        ExitInstance();
        return false;
    }

    // Step 6: a second instance says so and ends; it holds nothing the first one needs.
    const platform::InstanceLockStatus lock = instanceMutex_.acquire(kInstanceLockName);
    if (lock == platform::InstanceLockStatus::alreadyExists) {
        ShowMessageBox(nullptr, FindTableText(MessageTextTable, kTextAlreadyRunning), QString(),
                       MB_OK | MB_ICONERROR | MB_TOPMOST);
        return false;
    }
    // Step 7: any other failure to take the lock leaves it empty; start-up goes on.

    // Step 8: the profile file name.
    if (SetProfileFileName(caption, format) < 0) {
        ExitInstance();
        return false;
    }

    // Step 9: the settings, published to CurrentSettings.
    AppSettings settings;
    LoadSettings(settings);
    const MFPInfo mfp = GetMFPInfo();

    // Step 10: the waiting window ("Now Starting Application"), shown modeless at once.
    auto progress = std::make_unique<CProgressDlg>(kProgressStartingApplication);

    // Step 11: the selection dialog is going to be shown: the waiting window goes first.
    if (mfp.isNotShowDlg == 0) {
        progress->hide();
    }

    // Step 12: the MFP selection (hidden, confirming the stored device, when isNotShowDlg is
    // set). On OK it has copied the chosen MFPInfo into `settings` and set the SettingInfo
    // machine name; anything else ends start-up without the main window and without saving.
    if (SelectMfp(mfp.isNotShowDlg, progress.get(), settings, nullptr) == 1) {
        // Step 13: the main dialog, in the main-window slot while it runs; it picks its mode
        // from CurrentSettings itself.
        CMainDlg mainDialog;
        mainWindow_ = &mainDialog;

        // Step 14: the waiting window stayed up during a hidden selection; it goes now. (Hidden,
        // not closed: the waiting window refuses a close request while its buttons are off.)
        if (mfp.isNotShowDlg != 0) {
            progress->hide();
        }

        // Step 15: until the user exits; the main dialog saves the settings and clears the work
        // folders itself.
        mainDialog.exec();
        mainWindow_ = nullptr;
    }

    // Step 16: the waiting window, the record and the copy are destroyed on the way out.
    return false;
}

int CDalloryApp::ExitInstance() {
    ReleaseProfileFileName();
    libraries_.Free();  // STI, transport, search agent, ostrel, quilmar, codec
    ReleaseTextSources();
    instanceMutex_.release();
    return 0;
}
