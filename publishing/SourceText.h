// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One UTF-8 source of a library ("catalogue.txt", "lectures/20131015.txt"),
// cut into its lines at each line feed. A last line without its line feed is
// a line too: the build ends every line itself.
struct SourceText {
    Q_DECLARE_TR_FUNCTIONS(SourceText)

public:
    QString location;  // below the source folder
    QStringList lines;

    // Reads sourceFolder/location. A file that cannot be read, is not UTF-8
    // or holds a carriage return gives no text and a finding for each.
    static std::optional<SourceText> read(const QString& sourceFolder, const QString& location,
                                          QList<LibraryFinding>& findings);
};
