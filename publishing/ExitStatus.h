// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What kardelo-library's exit status says, for the scripts that run it.
enum ExitStatus : int {
    // Built; or checked and fit to publish (warnings may remain).
    kExitFit = 0,
    // Refused to build, or checked and not fit: at least one error.
    kExitNotFit = 1,
    // Could not be done at all: wrong arguments, a missing folder, an
    // unreachable root.
    kExitCannotRun = 2,
};
