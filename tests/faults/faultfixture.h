#pragma once
// The fault matrix's fixture: the real save path (RunSaveJob with the progress dialog, the
// worker, the convertors, the format libraries, the device layer over the transport or the USB
// channel) against the device simulator, with the transport's time limits shortened so that a
// silent device gives up within seconds. Local faults (a full or read-only destination, an
// unwritable work folder) are made with a file-size limit and with small file systems mounted in
// the test process's own mount namespace, which vanishes with the process.

#include <QString>

#include <chrono>
#include <string>
#include <vector>

#include "tests/savejob/savejobfixture.h"

// The shortened limits: connecting, a stalled transfer, a whole job (seconds), and the USB
// channel's read limit (milliseconds).
inline constexpr int kConnectSeconds = 2;
inline constexpr int kStallSeconds = 2;
inline constexpr int kJobSeconds = 4;
inline constexpr int kUsbTimeoutMs = 2000;
// Longest a failed save may hold the program: the longest limit and room for a slow machine.
inline constexpr std::chrono::seconds kAnswerBound{kJobSeconds + 8};

// Whether the process has a mount namespace of its own (made by the test program's main before
// any thread started), in which tests may mount file systems.
bool HasPrivateMounts();

class FaultMatrixTest : public SaveJobTest {
  protected:
    static void SetUpTestSuite();
    void TearDown() override;

    // StartDevice, on the USB channel when `usb` is set.
    void StartFaultDevice(int pages, bool monochrome, const std::vector<std::string>& misbehave,
                          bool usb);

    // Save() timed; the time is kept in `elapsed`.
    bool TimedSave(IConvertor& convertor);

    // True when the simulator's store still holds the document and no DELETE reached it.
    bool DocumentStillStored() const;

    // True when the device answers a box listing again (misbehaviour cleared first).
    bool DeviceAnswersAgain();

    // Mounts a small memory file system on `folder` (created when missing); false when mounts
    // are not possible here. Every mount is undone in TearDown.
    bool MountScratch(const QString& folder);
    // Makes a mounted folder read-only, or (without mounts, when not root) takes away its write
    // permission. False when neither works.
    bool MakeReadOnly(const QString& folder);

    std::chrono::steady_clock::duration elapsed{};
    TempFolder channel_{"faults-usb"};
    std::vector<std::string> mounts_;
    std::vector<std::string> lockedFolders_;
    bool usb_ = false;
};
