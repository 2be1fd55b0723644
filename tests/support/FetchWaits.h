// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QString>

// A library text as the window gets it (GB2312, through a network core of
// its own), waited for: "<no answer>" when none came within a minute.
QString fetchTextAndWait(const QString& address, const platform::NetworkLimits& limits = {});
