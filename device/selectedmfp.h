#pragma once
// The selected-MFP group of the settings, as the device access layer reads it: IPv4Address,
// deviceInternalName, isUSB and httpPortNumber.

#include "app/settings/appsettings.h"
