// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/BuildCommand.h"

#include "publishing/ExitStatus.h"
#include "publishing/FindingText.h"
#include "publishing/LibraryBuild.h"
#include "publishing/LibraryWriter.h"
#include "publishing/PublisherTexts.h"
#include "publishing/WebAddress.h"

#include <QFileInfo>

namespace {

QString buildUsage()
{
    return localized(
        QStringLiteral("Usage: kardelo-library build [--root URL] SOURCE OUT\n"
                       "\n"
                       "Writes the library in OUT from its UTF-8 sources in SOURCE (version.txt,\n"
                       "catalogue.txt, lectures/<UpdateDate>.txt): GB2312 with CR LF after every line,\n"
                       "OUT/version.txt, OUT/lists/catalogue.txt and each lecture list under the name\n"
                       "the client asks for. Stale files in OUT/lists are removed; pages and audio are\n"
                       "left alone. Whatever the client could not read back is refused as\n"
                       "FILE:LINE: error: message, and then nothing is written.\n"
                       "\n"
                       "  --root URL  what {root} in the sources stands for: an http:// or https://\n"
                       "              address ending in /, where OUT will be served\n"
                       "  -h, --help  this text\n"
                       "\n"
                       "Exit status: 0 built, 1 refused, 2 cannot run.\n"),
        QStringLiteral("用法：kardelo-library build [--root 网址] 源文件夹 输出文件夹\n"
                       "\n"
                       "由源文件夹中的 UTF-8 源文件（version.txt、catalogue.txt、lectures/<更新日期>.txt）\n"
                       "在输出文件夹中生成讲座库：GB2312 编码，每行以 CR LF 结尾；写出 version.txt、\n"
                       "lists/catalogue.txt，以及按客户端所要的文件名写出各讲座列表。lists 中过时的文件\n"
                       "会被删除，网页和音频不动。客户端无法读回的内容一律拒绝，报告为\n"
                       "文件:行: 错误: 说明，此时什么也不写。\n"
                       "\n"
                       "  --root 网址  源文件中 {root} 所代表的地址：以 / 结尾的 http:// 或 https://\n"
                       "               地址，即输出文件夹将来的网址\n"
                       "  -h, --help   显示本说明\n"
                       "\n"
                       "退出状态：0 已生成，1 被拒绝，2 无法运行。\n"));
}

int cannotRun(const QString& message)
{
    printError(QStringLiteral("kardelo-library build: %1\n").arg(message));
    return kExitCannotRun;
}

}  // namespace

int runBuildCommand(const QStringList& arguments)
{
    QString root;
    QStringList folders;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        if (argument == u"--help" || argument == u"-h") {
            printOut(buildUsage());
            return kExitFit;
        }
        if (argument == u"--root" && index + 1 == arguments.size())
            return cannotRun(localized(QStringLiteral("--root needs a URL"), QStringLiteral("--root 后须跟网址")));
        if (argument == u"--root")
            root = arguments[++index];
        else if (argument.startsWith(u"--root="))
            root = argument.mid(7);
        else if (argument.startsWith(u'-') && argument.size() > 1)
            return cannotRun(localized(QStringLiteral("unknown option %1 (see --help)").arg(argument),
                                       QStringLiteral("未知选项 %1（见 --help）").arg(argument)));
        else
            folders.append(argument);
    }
    if (folders.size() != 2) {
        printError(buildUsage());
        return kExitCannotRun;
    }
    if (!root.isNull() && !isLibraryRoot(root))
        return cannotRun(
            localized(QStringLiteral("--root %1 is not an http:// or https:// address ending in /").arg(root),
                      QStringLiteral("--root %1 不是以 / 结尾的 http:// 或 https:// 地址").arg(root)));
    QString source = folders[0];
    while (source.size() > 1 && source.endsWith(u'/'))
        source.chop(1);
    const QString out = folders[1];
    if (!QFileInfo(source).isDir())
        return cannotRun(localized(QStringLiteral("the source folder %1 does not exist").arg(source),
                                   QStringLiteral("源文件夹 %1 不存在").arg(source)));
    if (QFileInfo::exists(out) && !QFileInfo(out).isDir())
        return cannotRun(
            localized(QStringLiteral("%1 is not a folder").arg(out), QStringLiteral("%1 不是文件夹").arg(out)));

    LibraryBuild build(source, root);
    build.run();
    int warnings = 0;
    for (const LibraryFinding& finding : build.findings()) {
        printError(findingText(source, finding));
        warnings += finding.isError() ? 0 : 1;
    }
    const int errors = int(build.findings().size()) - warnings;
    if (build.refused()) {
        printError(localized(QStringLiteral("refused: %1 error(s), %2 warning(s); %3 was left as it was\n"),
                             QStringLiteral("已拒绝：%1 个错误，%2 个警告；%3 未作改动\n"))
                       .arg(errors)
                       .arg(warnings)
                       .arg(out));
        return kExitNotFit;
    }

    LibraryWriter writer(out);
    if (!writer.write(build.files()))
        return cannotRun(writer.errorString());
    for (const QString& path : writer.written())
        printOut(localized(QStringLiteral("wrote %1\n"), QStringLiteral("已写入 %1\n")).arg(path));
    for (const QString& path : writer.removed())
        printOut(localized(QStringLiteral("removed %1\n"), QStringLiteral("已删除 %1\n")).arg(path));
    printOut(localized(QStringLiteral("built %1: %2 file(s), %3 written, %4 unchanged, %5 removed, %6 warning(s)\n"),
                       QStringLiteral("已生成 %1：%2 个文件，写入 %3 个，未变 %4 个，删除 %5 个，%6 个警告\n"))
                 .arg(out)
                 .arg(build.files().size())
                 .arg(writer.written().size())
                 .arg(writer.unchanged().size())
                 .arg(writer.removed().size())
                 .arg(warnings));
    return kExitFit;
}
