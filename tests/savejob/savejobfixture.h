#pragma once
// The save job against the device simulator: a store with one box "Scans" and one document of
// real pages (colour JPEG or black-and-white Group 4 TIFF from the page maker), the transport
// library, the selected MFP pointing at the simulator, and a watcher that plays the user in
// front of the progress dialog: it records every bar position and status text and presses OK
// once it is offered.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/appsettings.h"
#include "tests/device/devicetestlibraries.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "ui/progress/progressdialog.h"
#include "ui/progress/savejobowner.h"

inline constexpr std::uint32_t kSavedFileId = 0x1A2F3;

class SaveJobTest : public testing::Test {
  protected:
    static void SetUpTestSuite();
    void TearDown() override;

    // Seeds the store with a document of `pages` real pages, starts the simulator with the
    // misbehaviour rules, binds the transport and lists the box, so that documentIndex names
    // the document.
    void StartDevice(int pages, bool monochrome, const std::vector<std::string>& misbehave = {});

    // Runs the save as the main window would, watching the dialog meanwhile.
    bool Save(IConvertor& convertor);

    // Calls `action` on the user-interface thread and waits for it (from the worker's hook).
    void OnUiThread(const std::function<void()>& action);

    // The page numbers of the page downloads the simulator received, in order.
    std::vector<int> DownloadedPages() const;

    // The page files of the stored document, as the device holds them.
    std::string StoredPage(int page) const;

    CProgressDlg& dialog() { return owner.ProgressDialog(); }
    QString SaveFolderPath() const;
    QString out() const { return out_.path(); }

    TempFolder store_{"savejob-store"};
    QTemporaryDir out_;
    std::unique_ptr<SimulatorProcess> simulator;
    std::unique_ptr<DeviceTestLibraries> libraries;
    MFPInfo mfp;
    int documentIndex = -1;
    bool monochrome = false;
    CSaveJobOwner owner;

    // What the watcher saw during the last Save().
    std::vector<int> barPositions;  // every change of the bar, in order
    QStringList statusTexts;        // every status text seen, without repeats
};
