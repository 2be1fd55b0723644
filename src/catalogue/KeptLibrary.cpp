// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/KeptLibrary.h"

#include "format/LibraryLog.h"
#include "platform/net/NetworkLimits.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include <utility>

QString KeptLibrary::folderFor(const QString& cacheFolder, const QString& catalogueAddress)
{
    // One library's copies never mix with another's, whatever the address
    // holds; the address itself is in every copy, and is checked on reading.
    const QByteArray digest = QCryptographicHash::hash(catalogueAddress.toUtf8(), QCryptographicHash::Sha256);
    return cacheFolder + QStringLiteral("/library-") + QString::fromLatin1(digest.toHex().left(16));
}

KeptLibrary::KeptLibrary(QString folder) : folder_(std::move(folder)) { }

KeptLibrary::~KeptLibrary()
{
    files_.finish();
}

QString KeptLibrary::pathOf(const QString& name) const
{
    // A list's name comes from the server: encoded, it is one plain file
    // name in this folder whatever it holds.
    return folder_ + u'/' + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

void KeptLibrary::read(const QString& name, const QString& address, std::function<void(std::optional<KeptText>)> done)
{
    files_.run(
        [path = pathOf(name), address]() -> std::optional<KeptText> {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return std::nullopt;
            const qint64 limit = platform::NetworkLimits().textBodyLimit;
            const QByteArray bytes = file.read(limit + 64 * 1024);
            auto read = parseKeptText(bytes, address, limit);
            if (KeptText* kept = std::get_if<KeptText>(&read))
                return std::move(*kept);
            qCWarning(lcLibrary) << "not using the kept copy" << path << "-" << std::get<KeptTextRefusal>(read).reason;
            return std::nullopt;
        },
        std::move(done));
}

void KeptLibrary::keep(const QString& name, const KeptText& text)
{
    files_.run([folder = folder_, path = pathOf(name), text] {
        const std::optional<QByteArray> bytes = formatKeptText(text);
        if (!bytes) {
            qCWarning(lcLibrary) << "not keeping a copy of" << text.address << "- its validators hold a line end";
            return;
        }
        QDir().mkpath(folder);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
            qCWarning(lcLibrary) << "cannot keep a copy of" << text.address << "in" << path << "-"
                                 << file.errorString();
    });
}
