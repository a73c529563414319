#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "app/binding/applicationlibraries.h"
#include "platform/instancelock.h"

// The application object: the one process-wide object of Velnor. It runs start-up (texts, library
// binding, single-instance lock, settings, then the MFP selection and the main window, each run
// modally) and the exit routine that releases everything start-up took. There is no event loop
// of its own: the windows run modally inside InitInstance().
class CDalloryApp : public QApplication {
    Q_OBJECT
  public:
    // The name of the single-instance lock.
    static constexpr char kInstanceLockName[] = "Velnor.exe";

    // Creates the application with empty library loaders and no lock held. One instance at a
    // time, on the thread that becomes the user-interface thread.
    CDalloryApp(int& argc, char** argv);
    // Runs the exit routine (harmless when it already ran).
    ~CDalloryApp() override;

    // Start-up. Always returns false: either start-up failed (its message was shown), another
    // instance is running ("Velnor is already running. " was shown), or the main window has
    // already run and closed. The caller then runs ExitInstance() and ends the process. Failures
    // of the library binding and of the profile file name run the exit routine before returning.
    bool InitInstance();

    // The exit routine: forgets the profile file name, frees the library loaders, releases the
    // text sources and the single-instance lock, in this order. Each step checks and clears its
    // object, so running it twice is harmless. Returns the process exit code (0).
    int ExitInstance();

    // Whether this process holds the single-instance lock.
    bool holdsInstanceLock() const { return instanceMutex_.held(); }

    // The main dialog while it runs (the main-window slot), else nullptr.
    QWidget* mainWindow() const { return mainWindow_; }

    // The application object, or nullptr while none exists.
    static CDalloryApp* theApp();

  private:
    // The six library loaders, reached elsewhere through Libraries() while this object lives.
    ApplicationLibraries libraries_;
    platform::InstanceLock instanceMutex_;
    QPointer<QWidget> mainWindow_;
};
