// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/NginxServer.h"

#include "support/FileBytes.h"
#include "support/FreePort.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>
#include <pwd.h>

#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kGuardMs = 30'000;
const QString kEditedLineMark = QStringLiteral("# PUBLISHER:");

bool answersOnLoopback(int port)
{
    const int fd = connectToLoopback(port);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

QString quoted(const QString& path)
{
    return u'"' + path + u'"';
}

}  // namespace

QString NginxServer::executable()
{
    return QStandardPaths::findExecutable(QStringLiteral("nginx"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                           QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin")});
}

NginxServer::NginxServer(const QString& libraryFolder)
    : prefix_(QDir(QDir::tempPath()).filePath(QStringLiteral("kardelo-nginx-XXXXXX")))
{
    if (executable().isEmpty()) {
        failure_ = QStringLiteral("nginx is not installed");
        return;
    }
    port_ = unusedLoopbackPort();
    if (!prefix_.isValid() || !QDir(prefix()).mkpath(QStringLiteral("logs"))
        || !QDir(prefix()).mkpath(QStringLiteral("temp"))) {
        failure_ = QStringLiteral("no prefix folder could be made");
        return;
    }
    if (!writeConfiguration(libraryFolder))
        return;

    // In a process group of its own, so that the master and its worker go
    // together; and told to end with the test process, should that die
    // before the destructor runs.
    process_.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    process_.setProcessChannelMode(QProcess::MergedChannels);
    const QString errorLog = prefix_.filePath(QStringLiteral("logs/error.log"));
    process_.start(executable(),
                   {QStringLiteral("-p"), prefix() + u'/', QStringLiteral("-c"), configFile(), QStringLiteral("-e"),
                    errorLog, QStringLiteral("-g"),
                    QStringLiteral("daemon off; pid %1; error_log %2;")
                        .arg(quoted(prefix_.filePath(QStringLiteral("nginx.pid"))), quoted(errorLog))});
    waitUntilAnswering();
}

NginxServer::~NginxServer()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    const pid_t master = static_cast<pid_t>(process_.processId());
    ::kill(master, SIGTERM);
    if (!process_.waitForFinished(kGuardMs)) {
        ::kill(-master, SIGKILL);
        process_.waitForFinished(kGuardMs);
    }
}

// The shipped server block with the publisher's lines replaced, inside an
// http block set as Debian's nginx.conf sets it (gzip on, sendfile), so
// that the block is tried in the surroundings it is installed in.
bool NginxServer::writeConfiguration(const QString& libraryFolder)
{
    const QByteArray shipped = readWholeFile(QStringLiteral(KARDELO_NGINX_CONFIG));
    QStringList library;
    int listens = 0;
    int roots = 0;
    for (const QString& line : QString::fromUtf8(shipped).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!line.contains(kEditedLineMark) || trimmed.startsWith(u'#')) {
            library.append(line);
            continue;
        }
        const QString directive = trimmed.section(u' ', 0, 0);
        if (directive == QLatin1String("listen")) {
            if (listens++ == 0)
                library.append(QStringLiteral("    listen 127.0.0.1:%1;").arg(port_));
        } else if (directive == QLatin1String("root")) {
            ++roots;
            library.append(QStringLiteral("    root %1;").arg(quoted(QFileInfo(libraryFolder).absoluteFilePath())));
        } else if (directive == QLatin1String("server_name")) {
            library.append(line);
        } else if (!directive.startsWith(QLatin1String("ssl_"))) {
            failure_ = QStringLiteral("the shipped configuration has an edited line the test does not know: ") + line;
            return false;
        }
    }
    if (listens == 0 || roots != 1) {
        failure_ = QStringLiteral("the shipped configuration marks no listen line or not one root line: ")
            + QStringLiteral(KARDELO_NGINX_CONFIG);
        return false;
    }
    const QString libraryFile = prefix_.filePath(QStringLiteral("kardelo-library.conf"));

    QStringList main;
    // As root, nginx hands the requests to workers of another user, who
    // could not read the test's private temporary folders.
    if (::geteuid() == 0) {
        if (const passwd* user = ::getpwuid(::geteuid()))
            main.append(QStringLiteral("user %1;").arg(QString::fromLocal8Bit(user->pw_name)));
    }
    main << QStringLiteral("worker_processes 1;") << QStringLiteral("events { worker_connections 64; }")
         << QStringLiteral("http {") << QStringLiteral("    sendfile on;") << QStringLiteral("    tcp_nopush on;")
         << QStringLiteral("    gzip on;")
         << QStringLiteral(
                "    log_format library '$request_method\\t$request_uri\\t$status\\t$http_range\\t$http_if_range"
                "\\t$body_bytes_sent';")
         << QStringLiteral("    access_log %1 library;")
                .arg(quoted(prefix_.filePath(QStringLiteral("logs/access.log"))));
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        main.append(
            QStringLiteral("    %1_temp_path %2;")
                .arg(QLatin1String(kind), quoted(prefix_.filePath(QStringLiteral("temp/") + QLatin1String(kind)))));
    main << QStringLiteral("    include %1;").arg(quoted(libraryFile)) << QStringLiteral("}");

    if (!writeWholeFile(libraryFile, library.join(u'\n').toUtf8())
        || !writeWholeFile(configFile(), (main.join(u'\n') + u'\n').toUtf8())) {
        failure_ = QStringLiteral("the configuration could not be written into ") + prefix();
        return false;
    }
    return true;
}

void NginxServer::waitUntilAnswering()
{
    const QDeadlineTimer guard(kGuardMs);
    while (!answersOnLoopback(port_)) {
        if (process_.waitForFinished(20) || guard.hasExpired()) {
            failure_ = QStringLiteral("nginx did not start: ") + QString::fromLocal8Bit(process_.readAll())
                + QString::fromLocal8Bit(readWholeFile(prefix_.filePath(QStringLiteral("logs/error.log"))));
            return;
        }
    }
}

QString NginxServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

QString NginxServer::configFile() const
{
    return prefix_.filePath(QStringLiteral("nginx.conf"));
}

std::vector<NginxServer::LoggedRequest> NginxServer::accessLog() const
{
    std::vector<LoggedRequest> requests;
    QFile log(prefix_.filePath(QStringLiteral("logs/access.log")));
    if (!log.open(QIODevice::ReadOnly))
        return requests;
    const auto header = [](const QString& logged) { return logged == u'-' ? QString() : logged; };
    while (!log.atEnd()) {
        const QStringList fields = QString::fromLatin1(log.readLine()).trimmed().split(u'\t');
        if (fields.size() != 6)
            continue;
        requests.push_back(
            {fields[0], fields[1], fields[2].toInt(), header(fields[3]), header(fields[4]), fields[5].toLongLong()});
    }
    return requests;
}
