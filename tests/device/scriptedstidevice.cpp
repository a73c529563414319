#include "tests/device/scriptedstidevice.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

ScriptedStiDevice script;

class ScriptedDevice : public IStiDevice {
  public:
    ScriptedDevice() { ++script.liveObjects; }
    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --references_;
        if (left == 0) {
            --script.liveObjects;
            delete this;
        }
        return left;
    }
    StiResult LockDevice(std::uint32_t) override {
        ++script.locks;
        return sti::kOk;
    }
    StiResult UnLockDevice() override {
        ++script.unlocks;
        return sti::kOk;
    }
    StiResult Escape(std::uint32_t function, const void* in, std::uint32_t inSize, void*,
                     std::uint32_t, std::uint32_t* outUsed) override {
        if (outUsed != nullptr) {
            *outUsed = 0;
        }
        if (function != sti::kCommandEscape) {
            return sti::kNotImplemented;
        }
        script.escapes.emplace_back(static_cast<const char*>(in), inSize);
        return script.escapeResult;
    }
    StiResult RawWriteCommand(const void* data, std::uint32_t size, void*) override {
        script.writes.emplace_back(static_cast<const char*>(data), size);
        if (!script.replies.empty()) {
            script.readable += script.replies.front();
            script.replies.pop_front();
        }
        return sti::kOk;
    }
    StiResult RawReadData(void* buffer, std::uint32_t* size, void*) override {
        const std::uint32_t count =
            static_cast<std::uint32_t>(std::min<std::size_t>(*size, script.readable.size()));
        std::memcpy(buffer, script.readable.data(), count);
        script.readable.erase(0, count);
        const bool whole = count == *size;
        *size = count;
        return whole ? sti::kOk : sti::kEndOfData;
    }

  private:
    ~ScriptedDevice() override = default;
    std::uint32_t references_ = 1;
};

class ScriptedStillImage : public IStillImage {
  public:
    ScriptedStillImage() { ++script.liveObjects; }
    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --references_;
        if (left == 0) {
            --script.liveObjects;
            delete this;
        }
        return left;
    }
    StiResult GetDeviceList(std::uint32_t, std::uint32_t, std::uint32_t* count,
                            void** buffer) override {
        records_.assign(script.devices.size(), STI_DEVICE_INFORMATIONW{});
        for (std::size_t i = 0; i < script.devices.size(); ++i) {
            STI_DEVICE_INFORMATIONW& record = records_[i];
            record.dwSize = sizeof record;
            const std::u16string& name = script.devices[i].internalName;
            std::copy_n(name.c_str(), std::min<std::size_t>(name.size() + 1, 127),
                        record.szDeviceInternalName);
            record.pszDeviceDescription = script.devices[i].description.c_str();
        }
        *count = static_cast<std::uint32_t>(records_.size());
        *buffer = records_.empty() ? nullptr : records_.data();
        return sti::kOk;
    }
    StiResult CreateDevice(const char16_t* internalName, std::uint32_t, IStiDevice** device,
                           void*) override {
        *device = nullptr;
        for (const auto& listed : script.devices) {
            if (listed.internalName == internalName) {
                *device = new ScriptedDevice;
                return sti::kOk;
            }
        }
        return sti::kNotFound;
    }
    StiResult GetDeviceValue(const char16_t* internalName, const char16_t* valueName,
                             std::uint32_t* type, void* data, std::uint32_t* size) override {
        for (const auto& listed : script.devices) {
            if (listed.internalName != internalName ||
                std::u16string(valueName) != u"MatchingDeviceId") {
                continue;
            }
            const std::uint32_t bytes =
                static_cast<std::uint32_t>((listed.matchingDeviceId.size() + 1) * 2);
            if (type != nullptr) {
                *type = sti::kRegistryText;
            }
            if (data == nullptr) {
                *size = bytes;
                return sti::kOk;
            }
            const std::uint32_t units = std::min(bytes, *size) / 2;
            if (units == 0) {
                return sti::kInvalidArgument;
            }
            auto* out = static_cast<char16_t*>(data);
            std::copy_n(listed.matchingDeviceId.c_str(), units - 1, out);
            out[units - 1] = u'\0';
            *size = units * 2;
            return sti::kOk;
        }
        return sti::kNotFound;
    }

  private:
    ~ScriptedStillImage() override = default;
    std::uint32_t references_ = 1;
    std::vector<STI_DEVICE_INFORMATIONW> records_;
};

}  // namespace

int ScriptedStiDevice::countCommands(const std::string& command) const {
    const std::string needle = "<COMMAND>" + command + "</COMMAND>";
    return static_cast<int>(std::count_if(writes.begin(), writes.end(), [&](const auto& write) {
        return write.find(needle) != std::string::npos;
    }));
}

ScriptedStiDevice& ScriptedSti() {
    return script;
}

void ResetScriptedSti() {
    script = ScriptedStiDevice{};
}

StiResult ScriptedStiCreateInstance(void*, std::uint32_t version, IStillImage** stillImage, void*) {
    if (stillImage == nullptr || version != sti::kVersion) {
        return sti::kInvalidArgument;
    }
    *stillImage = new ScriptedStillImage;
    return sti::kOk;
}

std::string UsbReply(const std::string& xml, const std::string& raw) {
    const auto length = static_cast<std::uint32_t>(xml.size());
    std::string reply(4, '\0');
    for (int i = 0; i < 4; ++i) {
        reply[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    return reply + xml + raw;
}

std::string UsbJob(const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><JOB>" + inner + "</JOB>";
}
