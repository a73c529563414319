#pragma once

// The settings of the application frame: the record and its groups, the process-wide
// CurrentSettings, the profile file and its load and save.
#include "app/settings/appsettings.h"
#include "app/settings/currentsettings.h"
#include "app/settings/profilefilename.h"
#include "app/settings/settingsstore.h"
