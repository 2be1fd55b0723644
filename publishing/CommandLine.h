// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// What is wrong with a command's line, if anything, once QCommandLineParser
// has read it. Each command words its own one-line answer from it.
struct CommandLineFault {
    enum class Kind { None, UnknownOption, MissingValue };

    Kind kind = Kind::None;
    // The option as the user wrote it: "--bogus", "-x", "--root=...".
    QString option;
};

// Reads a command's arguments (those after its name) into parser. Options
// may come before or after the folders; "-x" is one option, not -x as
// three; "--" ends the options.
CommandLineFault parseCommandLine(QCommandLineParser& parser, const QStringList& arguments);
