// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <stdexcept>

namespace {

// The roots libcurl trusts by default on Debian.
const QString kSystemRoots = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// Small elliptic-curve keys: made in a millisecond, unlike RSA ones.
const QStringList kNewKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                             QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TestCertificates::TestCertificates()
{
    if (!folder_.isValid())
        throw std::runtime_error("no temporary folder for the test certificates");
    runOpenssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + kNewKey
               + QStringList{QStringLiteral("-keyout"), path(QStringLiteral("authority.key")), QStringLiteral("-out"),
                             path(QStringLiteral("authority.crt")), QStringLiteral("-days"), QStringLiteral("2"),
                             QStringLiteral("-subj"), QStringLiteral("/CN=Kardelo test authority"),
                             QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                             QStringLiteral("-addext"), QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
    bundleFile_ = path(QStringLiteral("bundle.pem"));
    QFile bundle(bundleFile_);
    const QByteArray authority = fileBytes(path(QStringLiteral("authority.crt")));
    if (authority.isEmpty() || !bundle.open(QIODevice::WriteOnly)
        || bundle.write(fileBytes(kSystemRoots) + '\n' + authority) < 0)
        throw std::runtime_error("the test's certificate bundle could not be written");
}

TestHttpServer::TlsIdentity TestCertificates::serverIdentity(const QStringList& hosts)
{
    static const QRegularExpression ipv4(QStringLiteral("^[0-9.]+$"));
    QStringList names;
    for (const QString& host : hosts)
        names << (ipv4.match(host).hasMatch() ? QStringLiteral("IP:") : QStringLiteral("DNS:")) + host;
    const QString stem = QStringLiteral("server%1").arg(++made_);
    TestHttpServer::TlsIdentity identity{path(stem + QStringLiteral(".crt")), path(stem + QStringLiteral(".key"))};
    runOpenssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + kNewKey
               + QStringList{QStringLiteral("-keyout"), identity.keyFile, QStringLiteral("-out"),
                             identity.certificateFile, QStringLiteral("-days"), QStringLiteral("2"),
                             QStringLiteral("-CA"), path(QStringLiteral("authority.crt")), QStringLiteral("-CAkey"),
                             path(QStringLiteral("authority.key")), QStringLiteral("-subj"),
                             QStringLiteral("/CN=") + hosts.value(0), QStringLiteral("-addext"),
                             QStringLiteral("subjectAltName=") + names.join(u','), QStringLiteral("-addext"),
                             QStringLiteral("basicConstraints=critical,CA:FALSE")});
    return identity;
}

void TestCertificates::runOpenssl(const QStringList& arguments) const
{
    QProcess openssl;
    openssl.start(QStringLiteral(KARDELO_OPENSSL_COMMAND), arguments);
    if (!openssl.waitForFinished(60 * 1000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(u' ').toStdString() + " failed: "
                                 + openssl.readAllStandardError().toStdString() + openssl.errorString().toStdString());
}
