#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "family/sti/deviceregistry.h"
#include "family/sti/sti.h"

namespace sti {

// The still-image service object over the device registry file of `programFolder` (or the
// file that VELNOR_STI_REGISTRY names). The file is read afresh by every call, so devices that
// register or leave while the object lives are seen.
class StillImage final : public IStillImage {
  public:
    explicit StillImage(std::string programFolder);

    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    StiResult GetDeviceList(std::uint32_t type, std::uint32_t flags, std::uint32_t* count,
                            void** buffer) override;
    StiResult CreateDevice(const char16_t* internalName, std::uint32_t mode, IStiDevice** device,
                           void* outer) override;
    StiResult GetDeviceValue(const char16_t* internalName, const char16_t* valueName,
                             std::uint32_t* type, void* data, std::uint32_t* size) override;

  private:
    ~StillImage() override = default;

    // The registry entry of `internalName`, compared without regard to case; kNotFound when
    // absent, kFail when the registry cannot be read.
    StiResult findDevice(const char16_t* internalName, DeviceRegistryEntry& entry) const;

    std::atomic<std::uint32_t> references_{1};
    std::string programFolder_;
    // The last device list: the records and the texts they point into.
    std::vector<STI_DEVICE_INFORMATIONW> records_;
    std::vector<std::u16string> texts_;
};

}  // namespace sti
