#pragma once
// The demo store: a few boxes (one protected by the password "1234", one empty) holding colour
// and black-and-white documents of several readable A4 pages with different timestamps.

#include "tools/mfpsim/simulatorstore.h"

// Fills an empty store. A store that already holds boxes is left as it is (so a demo keeps what
// was deleted from it). Returns false when a page or file could not be made or written.
bool seedDemoStore(SimulatorStore& store);
