#pragma once
// A test fixture for the network path: the transport library loaded and a scripted device
// answering on 127.0.0.1.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/settings/appsettings.h"
#include "tests/device/devicetestlibraries.h"
#include "tests/device/scriptedhttpdevice.h"

class ScriptedNetworkTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(libraries_.ready()) << libraries_.error();
        ASSERT_NE(device.port(), 0);
        mfp.IPv4Address = "127.0.0.1";
        mfp.httpPortNumber = device.port();
    }

    // Lists boxes from the given response body and expects success.
    void ListBoxesFrom(const std::string& inner);

    DeviceTestLibraries libraries_;
    ScriptedHttpDevice device;
    MFPInfo mfp;
};

// "<FOLDER>" with the given id, name and attribute.
std::string FolderElement(unsigned folderId, const std::string& name, unsigned attribute);
