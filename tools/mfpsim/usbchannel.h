#pragma once
// The simulator's USB raw channel: a Unix-domain socket that plays a still-image device for the
// still-image service stand-in (family/sti). Each connection is one opened device object; it
// carries escape and command frames in and a byte stream out (family/sti/rawchannel.h).
//
// Started only when the command line has "--usb-socket <path>". On start the device is written
// into the still-image device registry file so that the service lists it, and removed again on
// stop. Options:
//   --usb-registry <file>        registry file (default: $VELNOR_STI_REGISTRY, else
//                                "stidevices.ini" beside the simulator, i.e. the program folder)
//   --usb-name <internal name>   default "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\0000"
//   --usb-description <text>     default "<device name> (USB)"
//   --usb-matching-id <text>     default "usb\vid_0f1d&pid_2101"
// Announces "usb-socket" and "usb-name".
//
// A job: the escape announces the command code, the command frame carries the encoded job
// document. The answer is a 32-bit little-endian length and the response document, then for
// GETDATA the chunk's raw bytes. A request that is no job document, or a misbehaviour rule of
// kind "status", answers the length 0. A command code that does not fit the job's COMMAND
// answers CODE 801 without running the job. "stall" keeps silent, then closes; "drop" sends
// the response and half the chunk (or half the response when there is no chunk), then closes.

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tools/mfpsim/channels.h"

class UsbChannel : public SimulatorChannel {
  public:
    ~UsbChannel() override;

    bool start(SimulatorContext& context) override;
    void stop() override;

  private:
    void acceptConnections();
    void serveConnection(int connection);

    JobHandler* jobs_ = nullptr;
    int listener_ = -1;
    std::string socketPath_;
    std::string registryPath_;
    std::string internalName_;
    std::atomic<bool> stop_{false};
    std::thread acceptThread_;
    // One thread a connection; finished ones are joined when the next connection comes.
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::mutex connectionsMutex_;
    std::list<Connection> connections_;
};
