#pragma once
// A test fixture with the device simulator on 127.0.0.1 holding a small store: box 5 "Scans"
// (open) with a colour document 0x1A2F3 of three pages and a black-and-white document 0x2B of
// one page, and box 6 "Finance" protected by the password "1234" with one colour document.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/settings/appsettings.h"
#include "tests/device/devicetestlibraries.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"

inline constexpr std::uint32_t kColourFileId = 0x1A2F3;
inline constexpr std::uint32_t kMonoFileId = 0x2B;
inline constexpr std::uint32_t kLockedFileId = 0x300;

// Deterministic page bytes of the given size, different for every seed.
std::string PageBytes(std::size_t size, unsigned seed);

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

class SimulatorTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Lists the boxes and then the documents of `box` (1 "Scans" or 2 "Finance").
    void ListBox(int box, const QString& password = {});

    // The index of the listed document with this file id, or -1.
    int DocumentIndex(std::uint32_t fileId) const;

    // Set by a derived fixture before SetUp: also serve the USB channel, listed through a
    // registry file of the test's own (VELNOR_STI_REGISTRY while the test runs).
    bool withUsb_ = false;
    std::string usbName_;  // the simulator's still-image internal name, with withUsb_

    TempFolder store_{"device-store"};
    TempFolder channel_{"device-usb-channel"};
    TempFolder pages_{"device-pages"};
    std::unique_ptr<SimulatorProcess> simulator;
    std::unique_ptr<DeviceTestLibraries> libraries_;
    MFPInfo mfp;
};
