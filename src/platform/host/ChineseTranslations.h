// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QCoreApplication;

namespace platform {

// Loads Qt's own Chinese translation so standard buttons read "确定",
// "是" and "否". Returns false when the translation is not installed;
// the buttons then fall back to English.
bool installChineseStandardTexts(QCoreApplication& application);

}  // namespace platform
