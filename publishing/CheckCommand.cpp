// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/CheckCommand.h"

#include "publishing/CheckReportOutput.h"
#include "publishing/CommandLine.h"
#include "publishing/ExitStatus.h"
#include "publishing/LibraryCheck.h"
#include "publishing/PublisherTexts.h"
#include "publishing/WebAddress.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// The context of these texts in the translations.
class CheckCommand {
    Q_DECLARE_TR_FUNCTIONS(CheckCommand)
};

QString checkUsage()
{
    return CheckCommand::tr(
        "Usage: kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL\n"
        "\n"
        "Reads a library as the client will and reports what would hurt its listeners: lines the client\n"
        "drops, conferences without lectures, stored names that clash or are too long, text that is not\n"
        "GB2312, a version file the client cannot read, a library index that is cut short or says other\n"
        "than the lists, audio that is missing, fails or is a web page, and (over HTTP) audio whose broken\n"
        "downloads cannot resume.\n"
        "\n"
        "  DIR-or-URL  a built library folder, or the library's root over http(s), ending in \"/\"\n"
        "  --root URL  (folder) the address the folder will be served at: audio addresses below it are\n"
        "              looked for as files in the folder; others are not checked\n"
        "  --jobs N    HTTP requests at once (default 4)\n"
        "  --json      one JSON object instead of text\n"
        "\n"
        "Exit status: 0 fit to publish (warnings allowed), 1 not fit, 2 cannot check.\n");
}

int refuse(const QString& message)
{
    printError(QStringLiteral("kardelo-library check: ") + message + u'\n');
    return kExitCannotRun;
}

}  // namespace

int runCheckCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption jobs(QStringLiteral("jobs"), QString(), QStringLiteral("N"));
    const QCommandLineOption root(QStringLiteral("root"), QString(), QStringLiteral("URL"));
    parser.addOptions({help, json, jobs, root});
    const CommandLineFault fault = parseCommandLine(parser, arguments);
    if (fault.kind == CommandLineFault::Kind::UnknownOption)
        return refuse(CheckCommand::tr("unknown option %1").arg(fault.option));
    if (fault.kind == CommandLineFault::Kind::MissingValue)
        return refuse(CheckCommand::tr("%1 needs a value").arg(fault.option));
    if (parser.isSet(help)) {
        printOut(checkUsage());
        return kExitFit;
    }
    LibraryCheck::Options options;
    if (parser.isSet(jobs)) {
        bool number = false;
        options.parallelRequests = parser.value(jobs).toInt(&number);
        if (!number || options.parallelRequests < 1 || options.parallelRequests > 64)
            return refuse(CheckCommand::tr("--jobs takes a number from 1 to 64, not \"%1\"").arg(parser.value(jobs)));
    }
    options.servedAt = parser.value(root);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        printError(checkUsage());
        return kExitCannotRun;
    }
    options.library = positional.first();
    const bool overHttp = options.library.startsWith(u"http://") || options.library.startsWith(u"https://");
    if (overHttp && !isLibraryRoot(options.library))
        return refuse(CheckCommand::tr("a library's address is its root and ends in \"/\": %1").arg(options.library));
    if (!options.servedAt.isEmpty() && (overHttp || !isLibraryRoot(options.servedAt)))
        return refuse(CheckCommand::tr("--root takes the http(s) address a folder will be served at, ending in \"/\""));
    if (!overHttp)
        options.library = QDir::cleanPath(options.library);

    const CheckReport report = LibraryCheck(options).run();
    if (!report.cannotCheck.isEmpty())
        return refuse(report.cannotCheck);
    printOut(parser.isSet(json) ? reportAsJson(options.library, report) : reportAsText(options.library, report));
    return report.fit() ? kExitFit : kExitNotFit;
}
