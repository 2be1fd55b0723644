// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// One thing wrong with a library, where it is: a file of the library (its
// path below the library's root, "lists/catalogue.txt") or an address, and
// the line in it when the finding is about one.
struct LibraryFinding {
    enum class Severity {
        // Listeners would be hurt: a line dropped, a lecture that cannot be
        // downloaded or stored. A library with one is not fit to publish.
        Error,
        // Works, but worth a look: downloads that cannot resume, say.
        Warning,
    };

    Severity severity = Severity::Error;
    // A short fixed name for scripts ("not-gb2312", "missing-crlf"); never
    // translated.
    QString kind;
    QString location;
    int line = 0;  // 1-based; 0 when the finding is about the whole file
    // What is wrong and what to do, in the user's language.
    QString message;

    bool isError() const { return severity == Severity::Error; }
};
