// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadResult.h"

#include <functional>

class DownloadJob;

// Starts job and waits, serving events, until it has finished (a minute at
// most: then Refused, "did not finish"); onProgress runs inside each of its
// progress reports.
DownloadResult runToEnd(DownloadJob& job, const std::function<void(qint64 received, qint64 total)>& onProgress = {});
