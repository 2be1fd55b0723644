// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLoggingCategory>

// "kardelo.download": a download that failed, with its reason, and the
// play-time rename's troubles. Warnings and above are shown by default;
// QT_LOGGING_RULES="kardelo.download.debug=true" adds how each download
// went (resumed, started again, cancelled).
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
