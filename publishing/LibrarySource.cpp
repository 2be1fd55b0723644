// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibrarySource.h"

#include "platform/net/HttpGet.h"

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
            return {Outcome::Failed, {}, tr("no answer from %1 (or more than the client reads)").arg(where)};
        if (answer->status >= 400)
            return {Outcome::Missing, {}, tr("%1 answers HTTP %2").arg(where).arg(answer->status)};
        return {Outcome::Read, answer->body, {}};
    }
    const QFileInfo info(where);
    if (!info.isFile())
        return {Outcome::Missing, {}, tr("%1 does not exist").arg(where)};
    if (info.size() > limits_.textBodyLimit)
        return {Outcome::Failed,
                {},
                tr("%1 is larger than the client reads (%2 bytes)").arg(where).arg(limits_.textBodyLimit)};
    QFile file(where);
    if (!file.open(QIODevice::ReadOnly))
        return {Outcome::Failed, {}, tr("%1 cannot be read: %2").arg(where, file.errorString())};
    return {Outcome::Read, file.readAll(), {}};
}
