// SPDX-License-Identifier: GPL-3.0-or-later

// kardelo-library: builds a lecture library from its UTF-8 sources, and
// checks a library as the client will read it.

#include "KardeloVersion.h"
#include "publishing/BuildCommand.h"
#include "publishing/CheckCommand.h"
#include "publishing/ExitStatus.h"
#include "publishing/PublisherTexts.h"

#include <QCoreApplication>

namespace {

QString usage()
{
    return localized(
        QStringLiteral("Usage: kardelo-library build [--root URL] SOURCE OUT\n"
                       "       kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL\n"
                       "\n"
                       "build  writes the GB2312 library (CR LF lines, the version file, the lecture\n"
                       "       lists under the names the client asks for) from UTF-8 sources\n"
                       "check  reads a library from a folder or over HTTP as the client does, and\n"
                       "       reports what would hurt its listeners\n"
                       "\n"
                       "\"kardelo-library COMMAND --help\" says more; \"man kardelo-library\" says all.\n"),
        QStringLiteral("用法：kardelo-library build [--root 网址] 源文件夹 输出文件夹\n"
                       "      kardelo-library check [--json] [--jobs N] [--root 网址] 文件夹或网址\n"
                       "\n"
                       "build  由 UTF-8 源文件生成 GB2312 讲座库（CR LF 行尾、版本文件、客户端所要的\n"
                       "       讲座列表文件名）\n"
                       "check  像客户端一样从文件夹或经 HTTP 读取讲座库，报告会影响听众的问题\n"
                       "\n"
                       "“kardelo-library 命令 --help”有详细说明；“man kardelo-library”有全部说明。\n"));
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kardelo-library"));
    QCoreApplication::setApplicationVersion(kDisplayVersion);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.value(0);
    if (command == u"build")
        return runBuildCommand(arguments.mid(1));
    if (command == u"check")
        return runCheckCommand(arguments.mid(1));
    if (command == u"--help" || command == u"-h" || command == u"help") {
        printOut(usage());
        return kExitFit;
    }
    if (command == u"--version") {
        printOut(QStringLiteral("kardelo-library %1\n").arg(QCoreApplication::applicationVersion()));
        return kExitFit;
    }
    printError(usage());
    return kExitCannotRun;
}
