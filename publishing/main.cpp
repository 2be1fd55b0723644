// SPDX-License-Identifier: GPL-3.0-or-later

// kardelo-library: builds a lecture library from its UTF-8 sources, and
// checks a library as the client will read it.

#include "KardeloVersion.h"
#include "publishing/BuildCommand.h"
#include "publishing/CheckCommand.h"
#include "publishing/ExitStatus.h"
#include "publishing/PublisherTexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// The context of these texts in the translations.
class KardeloLibrary {
    Q_DECLARE_TR_FUNCTIONS(KardeloLibrary)
};

QString usage()
{
    return KardeloLibrary::tr("Usage: kardelo-library build [--root URL] SOURCE OUT\n"
                              "       kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL\n"
                              "\n"
                              "build  writes the GB2312 library (CR LF lines, the version file, the lecture\n"
                              "       lists under the names the client asks for) from UTF-8 sources\n"
                              "check  reads a library from a folder or over HTTP as the client does, and\n"
                              "       reports what would hurt its listeners\n"
                              "\n"
                              "\"kardelo-library COMMAND --help\" says more; \"man kardelo-library\" says all.\n");
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kardelo-library"));
    QCoreApplication::setApplicationVersion(kDisplayVersion);
    installTranslation(app);

    // The first argument names the command; all after it are the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({help, version});
    if (!parser.parse(QCoreApplication::arguments())) {
        printError(usage());
        return kExitCannotRun;
    }
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    if (parser.isSet(help) || command == u"help") {
        printOut(usage());
        return kExitFit;
    }
    if (parser.isSet(version)) {
        printOut(QStringLiteral("kardelo-library %1\n").arg(QCoreApplication::applicationVersion()));
        return kExitFit;
    }
    if (command == u"build")
        return runBuildCommand(arguments.mid(1));
    if (command == u"check")
        return runCheckCommand(arguments.mid(1));
    printError(usage());
    return kExitCannotRun;
}
