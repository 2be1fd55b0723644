// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/AudioCheck.h"

#include "format/HeaderValues.h"
#include "platform/net/HeadRequests.h"
#include "publishing/FindingText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

namespace {

QList<AudioReference> firstOfEach(const QList<AudioReference>& audio)
{
    QList<AudioReference> distinct;
    QSet<QString> seen;
    for (const AudioReference& reference : audio) {
        if (!seen.contains(reference.address)) {
            seen.insert(reference.address);
            distinct.append(reference);
        }
    }
    return distinct;
}

LibraryFinding missing(const AudioReference& audio, const QString& why)
{
    return errorFinding(QStringLiteral("audio-missing"), audio.location, audio.line,
                        AudioCheck::tr("the audio %1 is not there (%2)").arg(audio.address, why));
}

LibraryFinding htmlPage(const AudioReference& audio)
{
    return errorFinding(QStringLiteral("audio-is-html"), audio.location, audio.line,
                        AudioCheck::tr("the audio %1 is an HTML page: the client would store the page as the "
                                       "lecture")
                            .arg(audio.address));
}

}  // namespace

AudioCheck AudioCheck::overHttp(int parallel)
{
    AudioCheck check;
    check.overHttp_ = true;
    check.parallel_ = parallel;
    return check;
}

AudioCheck AudioCheck::inFolder(const QString& folder, const QString& servedAt)
{
    AudioCheck check;
    check.folder_ = folder;
    check.servedAt_ = servedAt;
    return check;
}

bool AudioCheck::looksLikeHtml(const QByteArray& firstBytes)
{
    QByteArray start = firstBytes.trimmed().toLower();
    if (start.startsWith("\xef\xbb\xbf"))
        start = start.mid(3).trimmed();
    for (const char* opening : {"<!doctype", "<html", "<head", "<body", "<title", "<script", "<!--", "<?xml"}) {
        if (start.startsWith(opening))
            return true;
    }
    return false;
}

void AudioCheck::run(const QList<AudioReference>& audio, QList<LibraryFinding>& findings)
{
    if (overHttp_)
        runOverHttp(firstOfEach(audio), findings);
    else
        runInFolder(firstOfEach(audio), findings);
}

void AudioCheck::runOverHttp(const QList<AudioReference>& audio, QList<LibraryFinding>& findings)
{
    QStringList addresses;
    for (const AudioReference& reference : audio)
        addresses.append(reference.address);
    platform::HeadRequests requests({}, parallel_);
    const QList<platform::HeadAnswer> answers = requests.run(addresses);
    requestCount_ += requests.requestCount();
    for (qsizetype i = 0; i < audio.size(); ++i) {
        const AudioReference& reference = audio[i];
        const platform::HeadAnswer& answer = answers[i];
        if (!answer.answered) {
            findings.append(
                errorFinding(QStringLiteral("audio-unreachable"), reference.location, reference.line,
                             tr("the audio %1 does not answer (%2)").arg(reference.address, answer.errorString)));
            continue;
        }
        const QString status = QStringLiteral("HTTP %1").arg(answer.status);
        if (answer.status == 404 || answer.status == 410) {
            findings.append(missing(reference, status));
            continue;
        }
        if (answer.status < 200 || answer.status >= 300) {
            findings.append(errorFinding(
                QStringLiteral("audio-http-error"), reference.location, reference.line,
                tr("the audio %1 answers %2: the client cannot download it").arg(reference.address, status)));
            continue;
        }
        if (answer.contentType.value_or(QByteArray()).toLower().startsWith("text/html")
            || looksLikeHtml(answer.firstBytes)) {
            findings.append(htmlPage(reference));
            continue;
        }
        const bool ranges = answer.acceptRanges.value_or(QByteArray()).toLower().contains("bytes")
            || (answer.fromRangedGet && answer.status == 206);
        if (!ranges)
            findings.append(warningFinding(QStringLiteral("no-resume-ranges"), reference.location, reference.line,
                                           tr("the audio %1 is served without \"Accept-Ranges: bytes\": "
                                              "a broken download starts over")
                                               .arg(reference.address)));
        if (validatorOf(answer.etag, answer.lastModified).isEmpty())
            findings.append(warningFinding(QStringLiteral("no-resume-validator"), reference.location, reference.line,
                                           tr("the audio %1 is served with neither a strong ETag nor "
                                              "Last-Modified: a broken download starts over")
                                               .arg(reference.address)));
    }
}

void AudioCheck::runInFolder(const QList<AudioReference>& audio, QList<LibraryFinding>& findings) const
{
    QList<AudioReference> elsewhere;
    for (const AudioReference& reference : audio) {
        if (servedAt_.isEmpty() || !reference.address.startsWith(servedAt_)) {
            elsewhere.append(reference);
            continue;
        }
        QString path = reference.address.mid(servedAt_.size());
        path = path.left(path.indexOf(u'?')).left(path.indexOf(u'#'));
        const QString file = QDir(folder_).filePath(QUrl::fromPercentEncoding(path.toUtf8()));
        QFile audioFile(file);
        if (!QFileInfo(file).isFile() || !audioFile.open(QIODevice::ReadOnly)) {
            findings.append(missing(reference, file));
            continue;
        }
        const QString suffix = QFileInfo(file).suffix().toLower();
        if (suffix == u"html" || suffix == u"htm"
            || looksLikeHtml(audioFile.read(platform::HeadRequests::kSniffedBytes)))
            findings.append(htmlPage(reference));
    }
    if (elsewhere.isEmpty())
        return;
    const AudioReference& first = elsewhere.first();
    findings.append(
        warningFinding(QStringLiteral("audio-not-checked"), first.location, first.line,
                       tr("%1 audio address(es) lie outside the folder's address (--root) and were not checked, "
                          "this one the first: %2")
                           .arg(elsewhere.size())
                           .arg(first.address)));
}
