// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A loopback port that nothing listens on: bound once to learn a free
// number, then released, so a connection to it is refused.
int unusedLoopbackPort();

// A connection to a loopback port: its socket, which the caller closes, or
// -1 when nothing listens there.
int connectToLoopback(int port);
