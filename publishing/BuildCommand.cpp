// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/BuildCommand.h"

#include "publishing/CommandLine.h"
#include "publishing/ExitStatus.h"
#include "publishing/FindingText.h"
#include "publishing/LibraryBuild.h"
#include "publishing/LibraryWriter.h"
#include "publishing/PublisherTexts.h"
#include "publishing/WebAddress.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The context of these texts in the translations.
class BuildCommand {
    Q_DECLARE_TR_FUNCTIONS(BuildCommand)
};

QString buildUsage()
{
    return BuildCommand::tr("Usage: kardelo-library build [--root URL] SOURCE OUT\n"
                            "\n"
                            "Writes the library in OUT from its UTF-8 sources in SOURCE (version.txt,\n"
                            "catalogue.txt, lectures/<UpdateDate>.txt): GB2312 with CR LF after every line,\n"
                            "OUT/version.txt, OUT/lists/catalogue.txt, each lecture list under the name\n"
                            "the client asks for, and OUT/lists/library-index.txt, all of them in one text.\n"
                            "Stale files in OUT/lists are removed; pages and audio are left alone.\n"
                            "Whatever the client could not read back is refused as\n"
                            "FILE:LINE: error: message, and then nothing is written.\n"
                            "\n"
                            "  --root URL  what {root} in the sources stands for: an http:// or https://\n"
                            "              address ending in /, where OUT will be served\n"
                            "  -h, --help  this text\n"
                            "\n"
                            "Exit status: 0 built, 1 refused, 2 cannot run.\n");
}

int cannotRun(const QString& message)
{
    printError(QStringLiteral("kardelo-library build: %1\n").arg(message));
    return kExitCannotRun;
}

}  // namespace

int runBuildCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption rootOption(QStringLiteral("root"), QString(), QStringLiteral("URL"));
    parser.addOptions({help, rootOption});
    const CommandLineFault fault = parseCommandLine(parser, arguments);
    if (fault.kind == CommandLineFault::Kind::UnknownOption)
        return cannotRun(BuildCommand::tr("unknown option %1 (see --help)").arg(fault.option));
    if (fault.kind == CommandLineFault::Kind::MissingValue)
        return cannotRun(BuildCommand::tr("--root needs a URL"));
    if (parser.isSet(help)) {
        printOut(buildUsage());
        return kExitFit;
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 2) {
        printError(buildUsage());
        return kExitCannotRun;
    }
    // An empty --root= is a wrong root, not none.
    const QString root = parser.isSet(rootOption) ? parser.value(rootOption) : QString();
    if (!root.isNull() && !isLibraryRoot(root))
        return cannotRun(BuildCommand::tr("--root %1 is not an http:// or https:// address ending in /").arg(root));
    QString source = folders[0];
    while (source.size() > 1 && source.endsWith(u'/'))
        source.chop(1);
    const QString out = folders[1];
    if (!QFileInfo(source).isDir())
        return cannotRun(BuildCommand::tr("the source folder %1 does not exist").arg(source));
    if (QFileInfo::exists(out) && !QFileInfo(out).isDir())
        return cannotRun(BuildCommand::tr("%1 is not a folder").arg(out));

    LibraryBuild build(source, root);
    build.run();
    int warnings = 0;
    for (const LibraryFinding& finding : build.findings()) {
        printError(findingText(source, finding));
        warnings += finding.isError() ? 0 : 1;
    }
    const int errors = int(build.findings().size()) - warnings;
    if (build.refused()) {
        printError(BuildCommand::tr("refused: %1 error(s), %2 warning(s); %3 was left as it was\n")
                       .arg(errors)
                       .arg(warnings)
                       .arg(out));
        return kExitNotFit;
    }

    LibraryWriter writer(out);
    if (!writer.write(build.files()))
        return cannotRun(writer.errorString());
    for (const QString& path : writer.written())
        printOut(BuildCommand::tr("wrote %1\n").arg(path));
    for (const QString& path : writer.removed())
        printOut(BuildCommand::tr("removed %1\n").arg(path));
    printOut(BuildCommand::tr("built %1: %2 file(s), %3 written, %4 unchanged, %5 removed, %6 warning(s)\n")
                 .arg(out)
                 .arg(build.files().size())
                 .arg(writer.written().size())
                 .arg(writer.unchanged().size())
                 .arg(writer.removed().size())
                 .arg(warnings));
    return kExitFit;
}
