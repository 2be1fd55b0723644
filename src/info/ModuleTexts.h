#pragma once

#include <QString>

// The program's own version, an eight-digit date, and the texts the start
// procedure puts in place before anything else runs.
inline const QString kVersionStamp = QStringLiteral("20140202");
inline const QString kNetworkFailureMessage = QStringLiteral("网络暂时无法链接，请稍后再试！");
inline const QString kUpdatePrompt = QStringLiteral("检测到新版本，是否立即下载？");
inline const QString kVersionMarker = QStringLiteral("[QorVersion]");
inline const QString kServerCharset = QStringLiteral("GB2312");
