// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/DesktopLog.h"

Q_LOGGING_CATEGORY(lcDesktop, "kardelo.desktop", QtWarningMsg)
