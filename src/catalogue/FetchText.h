// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QByteArray>
#include <QString>

// Reads a remote text: a blocking GET on the calling thread under the
// limits given, the body decoded in the named character set ("GB2312" for
// every server file). The status code is not looked at, so an error page
// comes back as its text; any failure gives an empty text (and is logged
// under "kardelo.net").
QString fetchText(const QString& address, const QString& charset, const platform::NetworkLimits& limits = {});

// Decodes a body in the named character set; an unknown set gives an empty
// text, bytes that fit no character become U+FFFD.
QString bytesToText(const QByteArray& body, const QString& charset);
