#pragma once
// Shared fixture of the user-interface tests: one QApplication, the transport library bound
// for the device layer, a simulator with a small known store on a loopback port, and the
// settings pointing at it. Message boxes are recorded, never shown.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/settings/currentsettings.h"
#include "platform/messageboxrecorder.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "ui/maindialog.h"

QApplication& testApplication();

// Loads tarvin.so from the program folder and makes the device layer use it (once per
// process). Returns an error text, empty on success.
std::string BindTransportForTests();

// The store every test starts from. Box folder ids equal their box-list index.
namespace teststore {
inline constexpr int kScansBox = 1;   // three documents, see below
inline constexpr int kLockedBox = 2;  // attribute 0x11, password "1234", one document
inline constexpr int kEmptyBox = 3;   // no documents
inline constexpr const char* kPassword = "1234";
// The documents of "Scans" in table (file id) order: file name, timestamp, pages, format.
inline constexpr const char* kScansNames[] = {"0101", "0102", "0103"};
inline constexpr const char* kScansTimes[] = {"2012/01/05 09:00:00", "2012/03/01 10:00:00",
                                              "2012/02/10 08:30:00"};
inline constexpr int kScansPages[] = {1, 12, 2};
inline constexpr int kScansFormats[] = {0, 1, 7};  // B/W, colour, neither
}  // namespace teststore

// Answers each dialog of type T that becomes visible while this object lives, by calling
// `answer` with it on the user-interface thread (polled every few milliseconds, so it also
// reaches dialogs run modally from inside a handler).
template <class T>
class DialogAnswerer {
  public:
    explicit DialogAnswerer(std::function<void(T*)> answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                T* dialog = qobject_cast<T*>(widget);
                if (dialog && dialog->isVisible() && answering_ != dialog) {
                    answering_ = dialog;
                    ++count_;
                    answer_(dialog);
                    answering_ = nullptr;
                }
            }
        });
        timer_.start(5);
    }
    void setAnswer(std::function<void(T*)> answer) { answer_ = std::move(answer); }
    int count() const { return count_; }

  private:
    std::function<void(T*)> answer_;
    QTimer timer_;
    int count_ = 0;
    T* answering_ = nullptr;
};

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The settings a window opens with; change before OpenWindow().
    SettingInfo settings;
    PasswordInfo password;

    // Publishes the settings, lists the boxes as the MFP selection would, creates the window
    // and shows it (which runs its opening).
    CMainDlg& OpenWindow();
    CMainDlg& window() { return *window_; }

    // Number of LIST jobs for documents (with a FOLDERID) the simulator received.
    int DocumentListingRequests() const;

    std::unique_ptr<TempFolder> store_;
    std::unique_ptr<TempFolder> destination_;
    std::unique_ptr<SimulatorProcess> sim_;
    std::unique_ptr<MessageBoxRecorder> messages_;
    std::unique_ptr<CMainDlg> window_;
    MFPInfo mfp_;
};
