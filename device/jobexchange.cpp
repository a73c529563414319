#include "device/jobexchange.h"

#include <string>

#include "device/devicelibraries.h"
#include "device/selectedmfp.h"
#include "device/textkey.h"
#include "device/usb/usbpath.h"
#include "device/waitcursor.h"

namespace {

bool RunNetworkJob(const MFPInfo& mfp, const std::function<void(DeviceJob&)>& build,
                   const std::function<bool(const ResponseNode&)>& visit) {
    WaitCursor cursor;
    DeviceJob job(TransportTable());
    if (!job.valid()) {
        return false;
    }
    const HttpXmlTable& table = *job.table();
    job.SetVersion();
    const std::string host = ToDeviceText(mfp.IPv4Address);
    Connection* connection =
        table.openConnection != nullptr ? table.openConnection(host.c_str()) : nullptr;
    build(job);
    bool walked = false;
    if (connection != nullptr && table.postJob != nullptr &&
        table.postJob(connection, static_cast<std::uint16_t>(mfp.httpPortNumber), kJobPath,
                      job.document()) != 0) {
        walked = job.Walk(visit);
    }
    job.Free();
    if (connection != nullptr && table.closeConnection != nullptr) {
        table.closeConnection(connection);
    }
    return walked;
}

bool RunUsbJob(const MFPInfo& mfp, std::uint32_t commandCode, UsbLock lock,
               const std::function<void(DeviceJob&)>& build,
               const std::function<bool(const ResponseNode&)>& visit) {
    WaitCursor cursor;
    DeviceJob job(TransportTable());
    if (!job.valid()) {
        return false;
    }
    job.SetVersion();
    job.SetCommandCode(commandCode);
    build(job);
    if (CurrentStiDevice() == nullptr && !OpenStiDevice(ToU16(mfp.deviceInternalName))) {
        return false;
    }
    IStiDevice* device = CurrentStiDevice();
    if (lock == UsbLock::UnlockThenLock) {
        device->UnLockDevice();
    }
    device->LockDevice(kUsbLockTimeoutMs);
    bool walked = false;
    if (ExchangeJob(job)) {
        walked = job.Walk(visit);
    }
    device->UnLockDevice();
    ReleaseStiDevice();
    job.Free();
    return walked;
}

}  // namespace

bool RunDeviceJob(const MFPInfo& mfp, std::uint32_t usbCommandCode, UsbLock lock,
                  const std::function<void(DeviceJob&)>& build,
                  const std::function<bool(const ResponseNode&)>& visit) {
    if (mfp.isUSB != 0) {
        return RunUsbJob(mfp, usbCommandCode, lock, build, visit);
    }
    return RunNetworkJob(mfp, build, visit);
}
