// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LibraryLog.h"

Q_LOGGING_CATEGORY(lcLibrary, "kardelo.library", QtWarningMsg)
