// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

// The nginx of the system serving a library folder with the shipped server
// configuration, deploy/nginx/kardelo-library.conf, as it is: only the lines
// a publisher edits are replaced, to listen over plain http on a free
// loopback port and to serve the folder. It runs as the current user, with
// its configuration, logs and temporary files in a prefix folder of its own,
// and is stopped when this is destroyed, or when the test process ends.
class NginxServer {
public:
    // One request as nginx logged it.
    struct LoggedRequest {
        QString method;
        QString target;  // as sent, percent-encoding and all
        int status = 0;
        QString range;  // the Range header, empty when none
        QString ifRange;
        qint64 bodyBytes = 0;  // body bytes sent
    };

    // Where nginx is installed; empty when it is not.
    static QString executable();

    explicit NginxServer(const QString& libraryFolder);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Empty once it answers; otherwise why it did not start.
    QString failure() const { return failure_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString& path) const;
    // The configuration it runs on, and the folder its paths are under.
    QString configFile() const;
    QString prefix() const { return prefix_.path(); }
    // Every request answered so far, oldest first.
    std::vector<LoggedRequest> accessLog() const;

private:
    bool writeConfiguration(const QString& libraryFolder);
    void waitUntilAnswering();

    QTemporaryDir prefix_;
    QProcess process_;
    int port_ = 0;
    QString failure_;
};
