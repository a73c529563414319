#pragma once

// Shorthand for the settings headers.
#include "app/settings/settings.h"
