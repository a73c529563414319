#include "tests/device/devicetestlibraries.h"

#include <dlfcn.h>

#include "device/devicelibraries.h"

DeviceTestLibraries::DeviceTestLibraries(StiCreateInstanceWFunction stiCreateInstance) {
    const std::string folder = VELNOR_PROGRAM_DIR;
    transport_ = dlopen((folder + "/tarvin.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (transport_ == nullptr) {
        error_ = std::string("tarvin.so: ") + dlerror();
        return;
    }
    auto getHttpXml = reinterpret_cast<GetHTTPXMLFn>(dlsym(transport_, "GetHTTPXML"));
    if (getHttpXml == nullptr ||
        getHttpXml(&table_, static_cast<std::uint32_t>(kHttpXmlTableBytes)) == 0) {
        error_ = "GetHTTPXML failed";
        return;
    }
    if (stiCreateInstance == nullptr) {
        stillImage_ = dlopen((folder + "/sti.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (stillImage_ == nullptr) {
            error_ = std::string("sti.so: ") + dlerror();
            return;
        }
        stiCreateInstance =
            reinterpret_cast<StiCreateInstanceWFunction>(dlsym(stillImage_, "StiCreateInstanceW"));
        if (stiCreateInstance == nullptr) {
            error_ = "StiCreateInstanceW missing";
            return;
        }
    }
    UseDeviceLibraries(&table_, stiCreateInstance);
}

DeviceTestLibraries::~DeviceTestLibraries() {
    UseDeviceLibraries(nullptr, nullptr);
    if (stillImage_ != nullptr) {
        dlclose(stillImage_);
    }
    if (transport_ != nullptr) {
        dlclose(transport_);
    }
}
