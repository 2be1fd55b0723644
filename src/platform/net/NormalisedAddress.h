// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The address as a browser would send it: white space at either end
// removed, and every character that may not stand in a URL as it is (a
// blank, a control character, a quote, anything outside ASCII) written as
// %XX of its UTF-8 bytes. What is already percent-encoded stays as it is,
// and a "%" that starts no %XX is itself encoded. Server lists are written
// by hand, and libcurl refuses an address with a blank in it outright.
QByteArray normalisedAddress(const QString& address);

}  // namespace platform
