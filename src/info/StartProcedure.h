#pragma once

#include "info/VersionCheck.h"

struct StoredAddresses;

// The program's entry point once the application object exists: checks the
// version, then brings up the main window. Returns what became of the start.
StartOutcome StartProcedure(const StoredAddresses& addresses);
