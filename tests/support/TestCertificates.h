// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/TestHttpServer.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A certificate authority of the test's own, made afresh by the openssl
// command in a temporary folder, and server certificates signed by it. No
// system trusts it: a request trusts it only when it is handed
// authorityBundle(), the system's roots with this authority added.
class TestCertificates {
public:
    // Throws std::runtime_error, with openssl's words, when a file cannot
    // be made.
    TestCertificates();

    // A certificate for these host names and addresses ("127.0.0.1",
    // "localhost"), signed by the test's authority, with its key.
    TestHttpServer::TlsIdentity serverIdentity(const QStringList& hosts);
    // A file of the system's trusted roots followed by the test's authority.
    QString authorityBundle() const { return bundleFile_; }

private:
    void runOpenssl(const QStringList& arguments) const;
    QString path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    QString bundleFile_;
    int made_ = 0;
};
