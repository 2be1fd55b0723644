// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Cuts a fetched catalogue or lecture-list text at "\r\n" and hands on, in
// file order and unchanged, every line that holds both a "%" and a "*".
// Text after the last "\r\n" is not a line and is never read.
void splitAndKeep(QStringView text, const std::function<void(const QString& line)>& keep);

// The same, appending the kept lines to a list.
void splitAndKeep(QStringView text, QStringList& list);

// Whether a line is a record line at all.
bool isCatalogueLine(QStringView line);
