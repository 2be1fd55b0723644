// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadLog.h"

Q_LOGGING_CATEGORY(lcDownload, "kardelo.download", QtWarningMsg)
