// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// An http:// or https:// address with a host. Only the form is judged: the
// client sends an address as a browser would, blanks and Chinese
// percent-encoded.
bool isAbsoluteWebAddress(const QString& address);

// The root a library is served at, which every address the client uses
// continues: an absolute web address ending in "/", with no query or
// fragment.
bool isLibraryRoot(const QString& address);
