// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The bytes a server file holds for a text: code page 936.
QByteArray toGb2312(const QString& text);
