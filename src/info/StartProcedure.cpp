#include "info/StartProcedure.h"

#include "info/ModuleTexts.h"

#include <cstdio>

StartOutcome StartProcedure(const StoredAddresses& addresses)
{
    if (RunVersionCheck(addresses) == StartOutcome::Ended)
        return StartOutcome::Ended;
    // The main window comes here; until then the run ends after the check.
    std::printf("Kardelo %s: version check passed, the server is reachable.\n", qPrintable(kVersionStamp));
    std::fflush(stdout);
    return StartOutcome::Continue;
}
