#pragma once
// Loads the transport library (tarvin.so) and, when asked, the still-image library (sti.so)
// from the program folder and hands them to the device access layer, as the application's
// start-up would. Undone when the object goes.

#include <string>

#include "device/protocol/httpxmltable.h"
#include "family/sti/sti.h"

class DeviceTestLibraries {
  public:
    // `stiCreateInstance` replaces the still-image library (a scripted device); null loads sti.so.
    explicit DeviceTestLibraries(StiCreateInstanceWFunction stiCreateInstance = nullptr);
    ~DeviceTestLibraries();
    DeviceTestLibraries(const DeviceTestLibraries&) = delete;
    DeviceTestLibraries& operator=(const DeviceTestLibraries&) = delete;

    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const HttpXmlTable& table() const { return table_; }

  private:
    void* transport_ = nullptr;
    void* stillImage_ = nullptr;
    HttpXmlTable table_{};
    std::string error_;
};
