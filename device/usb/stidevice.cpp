#include <string>

#include "device/devicelibraries.h"
#include "device/usb/usbpath.h"

namespace {

// The process-wide still-image and device objects; both exist only for the length of one job.
IStillImage* stillImage = nullptr;
IStiDevice* stiDevice = nullptr;

}  // namespace

bool OpenStiDevice(std::u16string_view internalName) {
    StiCreateInstanceWFunction create = StiCreateInstanceEntry();
    if (create == nullptr) {
        return false;
    }
    ReleaseStiDevice();
    if (create(nullptr, sti::kVersion, &stillImage, nullptr) < 0 || stillImage == nullptr) {
        stillImage = nullptr;
        return false;
    }
    const std::u16string name(internalName);
    IStiDevice* device = nullptr;
    const StiResult result =
        stillImage->CreateDevice(name.c_str(), sti::kModeStatusAndData, &device, nullptr);
    if (result != sti::kOk || device == nullptr) {
        if (device != nullptr) {
            device->Release();
        }
        ReleaseStiDevice();
        return false;
    }
    stiDevice = device;
    return true;
}

IStiDevice* CurrentStiDevice() {
    return stiDevice;
}

void ReleaseStiDevice() {
    if (stiDevice != nullptr) {
        stiDevice->Release();
        stiDevice = nullptr;
    }
    if (stillImage != nullptr) {
        stillImage->Release();
        stillImage = nullptr;
    }
}
