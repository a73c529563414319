#pragma once
// Where the device access layer finds the transport table and the still-image entry point: the
// loaders the application bound at start-up, unless a caller installed others (a tool or a
// test that runs the layer without the application).

#include "device/protocol/httpxmltable.h"
#include "family/sti/sti.h"

// The transport table, or null when no transport is bound (every job then fails).
const HttpXmlTable* TransportTable();

// StiCreateInstanceW, or null when the still-image library is not bound (no USB devices are
// listed and every USB job fails).
StiCreateInstanceWFunction StiCreateInstanceEntry();

// Makes the layer use these instead of the application's loaders; null for either goes back to
// the application's. The caller keeps the table and the library alive while jobs run.
void UseDeviceLibraries(const HttpXmlTable* table, StiCreateInstanceWFunction stiCreateInstance);
