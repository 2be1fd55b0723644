// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/NetLog.h"

Q_LOGGING_CATEGORY(lcNet, "kardelo.net", QtWarningMsg)
