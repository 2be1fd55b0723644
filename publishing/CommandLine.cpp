// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/CommandLine.h"

namespace {

// QCommandLineParser names an unknown option without its dashes; the
// message should show what was typed.
QString asWritten(const QString& name, const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        const QStringView option = QStringView(argument).left(argument.indexOf(u'='));
        if (option == QString(u'-' + name) || option == QString(QStringLiteral("--") + name))
            return argument;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

}  // namespace

CommandLineFault parseCommandLine(QCommandLineParser& parser, const QStringList& arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The parser takes the program's name first, and skips it.
    if (parser.parse(QStringList{QString()} + arguments))
        return {};
    if (!parser.unknownOptionNames().isEmpty())
        return {CommandLineFault::Kind::UnknownOption, asWritten(parser.unknownOptionNames().constFirst(), arguments)};
    // The parser's only other fault: the last argument is an option that
    // takes a value, and none follows.
    return {CommandLineFault::Kind::MissingValue, arguments.constLast()};
}
