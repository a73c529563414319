#pragma once

// The device registry file of the still-image service (layout in sti.h): read by the service,
// written only by the devices that register a raw channel (the simulator) and by tests.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sti {

// Key below which every device's section lies; the rest of the section name is the device's
// internal name.
inline constexpr std::string_view kDeviceClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

// The registry file's name in the program folder, and the variable that overrides its path.
inline constexpr std::string_view kRegistryFileName = "stidevices.ini";
inline constexpr const char* kRegistryVariable = "VELNOR_STI_REGISTRY";

struct DeviceRegistryEntry {
    std::string internalName;                                 // UTF-8
    std::vector<std::pair<std::string, std::string>> values;  // name, text; in file order

    // The value called `name` (case-insensitive), or null.
    const std::string* find(std::string_view name) const;
};

enum class RegistryStatus { Ok, Missing, Unreadable };

struct DeviceRegistryRead {
    RegistryStatus status = RegistryStatus::Missing;
    std::vector<DeviceRegistryEntry> devices;  // in file order
};

// The registry file's path: $VELNOR_STI_REGISTRY when set and not empty, else
// "<programFolder>/stidevices.ini".
std::string DeviceRegistryPath(const std::string& programFolder);

// Reads every device section of the file at `path`. Sections outside the device-class key,
// blank lines, comments (";" or "#") and lines without "=" are skipped. An absent file gives
// RegistryStatus::Missing and no devices; a file that exists but cannot be read, Unreadable.
DeviceRegistryRead ReadDeviceRegistry(const std::string& path);

// Adds the device `entry` to the file at `path`, replacing a section of the same internal
// name and keeping every other line as it was; creates the file when absent. The file is
// replaced whole (written beside it, then renamed), so a reader never sees half a file.
// Returns false when it could not be written; the old file is then left unchanged.
bool WriteDeviceRegistryEntry(const std::string& path, const DeviceRegistryEntry& entry);

// Removes the section of `internalName` from the file at `path`, keeping every other line.
// True when the file no longer holds it (also when it never did or the file is absent).
bool RemoveDeviceRegistryEntry(const std::string& path, std::string_view internalName);

}  // namespace sti
