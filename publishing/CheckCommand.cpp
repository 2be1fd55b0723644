// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/CheckCommand.h"

#include "publishing/CheckReportOutput.h"
#include "publishing/ExitStatus.h"
#include "publishing/LibraryCheck.h"
#include "publishing/PublisherTexts.h"
#include "publishing/WebAddress.h"

#include <QDir>

namespace {

QString checkUsage()
{
    return localized(
        QStringLiteral(
            "Usage: kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL\n"
            "\n"
            "Reads a library as the client will and reports what would hurt its listeners: lines the client\n"
            "drops, conferences without lectures, stored names that clash or are too long, text that is not\n"
            "GB2312, a version file the client cannot read, audio that is missing, fails or is a web page, and\n"
            "(over HTTP) audio whose broken downloads cannot resume.\n"
            "\n"
            "  DIR-or-URL  a built library folder, or the library's root over http(s), ending in \"/\"\n"
            "  --root URL  (folder) the address the folder will be served at: audio addresses below it are\n"
            "              looked for as files in the folder; others are not checked\n"
            "  --jobs N    HTTP requests at once (default 4)\n"
            "  --json      one JSON object instead of text\n"
            "\n"
            "Exit status: 0 fit to publish (warnings allowed), 1 not fit, 2 cannot check.\n"),
        QStringLiteral("用法：kardelo-library check [--json] [--jobs N] [--root 网址] 文件夹或网址\n"
                       "\n"
                       "像客户端一样读取讲座库，报告会影响听众的问题：客户端丢弃的行、没有讲座的会议、\n"
                       "重复或过长的保存文件名、不是 GB2312 的文字、客户端读不懂的版本文件、缺失、出错或\n"
                       "是网页的音频，以及（经 HTTP 时）中断后无法续传的音频。\n"
                       "\n"
                       "  文件夹或网址  生成好的讲座库文件夹，或讲座库经 http(s) 的根网址（以“/”结尾）\n"
                       "  --root 网址   （文件夹）此文件夹将发布的网址：其下的音频地址在文件夹中查找；\n"
                       "                其他地址不检查\n"
                       "  --jobs N      同时进行的 HTTP 请求数（默认 4）\n"
                       "  --json        以一个 JSON 对象代替文字输出\n"
                       "\n"
                       "退出状态：0 可以发布（允许有警告），1 不宜发布，2 无法检查。\n"));
}

int refuse(const QString& english, const QString& chinese)
{
    printError(QStringLiteral("kardelo-library check: ") + localized(english, chinese) + u'\n');
    return kExitCannotRun;
}

}  // namespace

int runCheckCommand(const QStringList& arguments)
{
    LibraryCheck::Options options;
    bool json = false;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            printOut(checkUsage());
            return kExitFit;
        }
        if (argument == u"--json") {
            json = true;
        } else if (argument == u"--jobs" || argument == u"--root") {
            if (++i >= arguments.size())
                return refuse(QStringLiteral("%1 needs a value").arg(argument),
                              QStringLiteral("%1 需要一个值").arg(argument));
            if (argument == u"--root") {
                options.servedAt = arguments[i];
                continue;
            }
            bool number = false;
            options.parallelRequests = arguments[i].toInt(&number);
            if (!number || options.parallelRequests < 1 || options.parallelRequests > 64)
                return refuse(QStringLiteral("--jobs takes a number from 1 to 64, not \"%1\"").arg(arguments[i]),
                              QStringLiteral("--jobs 需要 1 到 64 的数，而不是“%1”").arg(arguments[i]));
        } else if (argument.startsWith(u"--")) {
            return refuse(QStringLiteral("unknown option %1").arg(argument),
                          QStringLiteral("未知选项 %1").arg(argument));
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 1) {
        printError(checkUsage());
        return kExitCannotRun;
    }
    options.library = positional.first();
    const bool overHttp = options.library.startsWith(u"http://") || options.library.startsWith(u"https://");
    if (overHttp && !isLibraryRoot(options.library))
        return refuse(QStringLiteral("a library's address is its root and ends in \"/\": %1").arg(options.library),
                      QStringLiteral("讲座库的网址是其根网址，以“/”结尾：%1").arg(options.library));
    if (!options.servedAt.isEmpty() && (overHttp || !isLibraryRoot(options.servedAt)))
        return refuse(QStringLiteral("--root takes the http(s) address a folder will be served at, ending in \"/\""),
                      QStringLiteral("--root 需要文件夹将发布的 http(s) 网址，以“/”结尾"));
    if (!overHttp)
        options.library = QDir::cleanPath(options.library);

    const CheckReport report = LibraryCheck(options).run();
    if (!report.cannotCheck.isEmpty())
        return refuse(report.cannotCheck, report.cannotCheck);
    printOut(json ? reportAsJson(options.library, report) : reportAsText(options.library, report));
    return report.fit() ? kExitFit : kExitNotFit;
}
