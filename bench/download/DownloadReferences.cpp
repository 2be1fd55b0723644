// SPDX-License-Identifier: GPL-3.0-or-later

#include "DownloadReferences.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>

extern char** environ;

namespace {

pid_t spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "could not start %s\n", argv[0]);
        return -1;
    }
    return pid;
}

struct Child {
    pid_t pid = -1;
    int index = 0;
    bool syncing = false;
};

}  // namespace

CurlFigures runCurlsAtOnce(const QStringList& addresses, const QStringList& paths, bool sync)
{
    using Clock = std::chrono::steady_clock;
    CurlFigures figures;
    figures.ok = true;
    const auto start = Clock::now();
    std::vector<Child> running;
    for (int i = 0; i < addresses.size(); ++i) {
        const pid_t pid =
            spawn({"curl", "-s", "-o", QFile::encodeName(paths[i]).toStdString(), addresses[i].toStdString()});
        if (pid < 0)
            figures.ok = false;
        else
            running.push_back({pid, i, false});
    }
    // Polled rather than waited for one by one, so each sync follows its
    // own curl at once; a millisecond is nothing next to a second's run.
    while (!running.empty()) {
        for (auto child = running.begin(); child != running.end();) {
            int status = 0;
            const pid_t ended = ::waitpid(child->pid, &status, WNOHANG);
            if (ended == 0) {
                ++child;
                continue;
            }
            const bool succeeded = ended == child->pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
            figures.ok = figures.ok && succeeded;
            if (succeeded && sync && !child->syncing) {
                child->pid = spawn({"sync", QFile::encodeName(paths[child->index]).toStdString()});
                child->syncing = true;
                if (child->pid > 0)
                    continue;
                figures.ok = false;
            }
            child = running.erase(child);
        }
        if (!running.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return figures;
}

EarlierFigures runEarlierBench(const QString& program, qint64 sizeMiB)
{
    EarlierFigures figures;
    QProcess bench;
    bench.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bench.start(program, {QString::number(sizeMiB) + u'M', QStringLiteral("1")});
    // A bench program, not the window: it has nothing else to do meanwhile.
    if (!bench.waitForFinished(-1) || bench.exitStatus() != QProcess::NormalExit || bench.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), qPrintable(bench.errorString()));
        return figures;
    }
    figures.output = QString::fromUtf8(bench.readAllStandardOutput());
    // "  ours, no flush       2345.6 MiB/s ..."
    const auto rate = [&figures](const QString& side) {
        const QRegularExpression line(QStringLiteral("^  ") + QRegularExpression::escape(side)
                                          + QStringLiteral(R"(\s+([0-9.]+) MiB/s)"),
                                      QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(figures.output);
        return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
    };
    figures.curlMiBPerSecond = rate(QStringLiteral("curl -o"));
    figures.unflushedMiBPerSecond = rate(QStringLiteral("ours, no flush"));
    figures.durableMiBPerSecond = rate(QStringLiteral("ours"));
    figures.ok = figures.curlMiBPerSecond > 0 && figures.unflushedMiBPerSecond > 0 && figures.durableMiBPerSecond > 0;
    if (!figures.ok)
        std::fprintf(stderr, "%s printed no figures that can be read:\n%s\n", qPrintable(program),
                     qPrintable(figures.output));
    return figures;
}
