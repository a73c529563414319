#pragma once

// Localized texts: every shown text by id, from the language file, the resource library or the
// program's own string table.
#include "app/texts/localizedialog.h"
#include "app/texts/textsources.h"
#include "app/texts/texttables.h"
