// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

class TestHttpServer;

// The stored address lists for a library served by the test server, laid
// out as the real server is: everything below the root, lists/ holding the
// catalogue and the lecture lists.
StoredAddresses addressesFor(const TestHttpServer& server);
// The same for a library at any root address, which ends in "/".
StoredAddresses addressesForRoot(const QString& root);
