// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A loopback port that nothing listens on: bound once to learn a free
// number, then released, so a connection to it is refused.
int unusedLoopbackPort();
