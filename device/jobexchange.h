#pragma once
// The frame every LIST, DELETE and GETIMAGEINFO job runs in, on either path. Network: the job
// is posted to "/ScanBox.cgi" on the MFP's HTTP port over a connection of its own. USB: the job
// carries its command code and is exchanged over the still-image device, which is opened for
// the job, locked while it runs and released at its end.

#include <cstdint>
#include <functional>

#include "device/devicejob.h"

struct MFPInfo;

// How a USB job takes the device lock: the listings give up a lock first, the others do not.
enum class UsbLock { UnlockThenLock, Lock };

// Runs one job for the MFP: `build` adds the request elements (after the "version" attribute,
// and on USB the command code), the job is exchanged, and `visit` walks the response while it
// returns true. Returns whether the walk ran, that is whether a response with at least one
// element came. Nothing stays open afterwards; the wait cursor shows while the job runs.
bool RunDeviceJob(const MFPInfo& mfp, std::uint32_t usbCommandCode, UsbLock lock,
                  const std::function<void(DeviceJob&)>& build,
                  const std::function<bool(const ResponseNode&)>& visit);
