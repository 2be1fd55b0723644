// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibrarySource.h"

#include "platform/net/HttpGet.h"
#include "publishing/PublisherTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

LibrarySource::LibrarySource(const QString& root, const platform::NetworkLimits& limits)
    : root_(root),
      limits_(limits),
      overHttp_(root.startsWith(u"http://") || root.startsWith(u"https://"))
{
}

QString LibrarySource::whereIs(const QString& path) const
{
    return overHttp_ ? root_ + path : QDir(root_).filePath(path);
}

LibrarySource::Fetched LibrarySource::fetch(const QString& path)
{
    using Outcome = Fetched::Outcome;
    const QString where = whereIs(path);
    if (overHttp_) {
        ++requestCount_;
        const std::optional<platform::HttpAnswer> answer = platform::httpGetAnswer(where, limits_);
        if (!answer)
            return {Outcome::Failed,
                    {},
                    localized(QStringLiteral("no answer from %1 (or more than the client reads)").arg(where),
                              QStringLiteral("%1 没有应答（或超出客户端读取的大小）").arg(where))};
        if (answer->status >= 400)
            return {Outcome::Missing,
                    {},
                    localized(QStringLiteral("%1 answers HTTP %2").arg(where).arg(answer->status),
                              QStringLiteral("%1 应答 HTTP %2").arg(where).arg(answer->status))};
        return {Outcome::Read, answer->body, {}};
    }
    const QFileInfo info(where);
    if (!info.isFile())
        return {Outcome::Missing,
                {},
                localized(QStringLiteral("%1 does not exist").arg(where), QStringLiteral("%1 不存在").arg(where))};
    if (info.size() > limits_.textBodyLimit)
        return {
            Outcome::Failed,
            {},
            localized(
                QStringLiteral("%1 is larger than the client reads (%2 bytes)").arg(where).arg(limits_.textBodyLimit),
                QStringLiteral("%1 超出客户端读取的大小（%2 字节）").arg(where).arg(limits_.textBodyLimit))};
    QFile file(where);
    if (!file.open(QIODevice::ReadOnly))
        return {Outcome::Failed,
                {},
                localized(QStringLiteral("%1 cannot be read: %2").arg(where, file.errorString()),
                          QStringLiteral("%1 无法读取：%2").arg(where, file.errorString()))};
    return {Outcome::Read, file.readAll(), {}};
}
