#include "app/startup/dalloryapp.h"

#include "app/settings/settings.h"
#include "app/texts.h"
#include "platform/messagebox.h"

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
    (void)mfp;

    // Step 10 joins here: the progress window in start-up mode ("Now Starting Application").
    // Step 11 joins here: when mfp.isNotShowDlg is 0, that window closes before the selection.
    // Step 12 joins here: the MFP selection dialog, run modally with mfp.isNotShowDlg, the
    //   progress window and `settings`. Without OK, start-up ends (step 16). With OK: copy
    //   GetMFPInfo() into settings.mfpInfo; then SettingInfo.machineName in CurrentSettings
    //   becomes that group's IPv4Address when isSpecifiedIPAddress is 1, else its machineName.
    // Steps 13-15 join here: the main dialog, put in the main-window slot, the progress window
    //   closed just before it opens when mfp.isNotShowDlg is non-zero, run modally, destroyed.

    // Step 16: the record and the copy go out of scope.
    return false;
}

int CDalloryApp::ExitInstance() {
    ReleaseProfileFileName();
    libraries_.Free();  // STI, transport, search agent, ostrel, quilmar, codec
    ReleaseTextSources();
    instanceMutex_.release();
    return 0;
}
