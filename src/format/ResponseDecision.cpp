// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/ResponseDecision.h"

#include "format/HeaderValues.h"

namespace {

// The rest of the very file the kept bytes came from: it starts where they
// end, runs to the end, and names the same total and the same validator. An
// answer that names no validator could be of any file, whatever the
// request's If-Range said.
bool continuesKeptBytes(const ContentRange& range, const QByteArray& validator, const KeptBytes& kept)
{
    const qint64 total = range.total > 0 ? range.total : kept.total;
    return range.first == kept.length && total > 0 && range.last == total - 1
        && (kept.total == 0 || total == kept.total) && !validator.isEmpty() && validator == kept.validator;
}

}  // namespace

ResponseDecision decideOnResponse(const ResponseHead& head, const KeptBytes& kept)
{
    ResponseDecision decision;
    const std::optional<qint64> length = contentLengthOf(head.contentLength);
    // "Content-Length: 0" announces an empty body; only no header at all
    // leaves the length open.
    if (head.contentLength)
        decision.announced = length;
    decision.validator = validatorOf(head.etag, head.lastModified);
    std::optional<ContentRange> range;
    if (head.status == 206 && head.contentRange)
        range = parseContentRange(*head.contentRange);

    if (length && range && kept.length > 0 && continuesKeptBytes(*range, decision.validator, kept)) {
        decision.kind = ResponseDecision::Kind::ContinueKept;
        decision.offset = kept.length;
        decision.total = range->last + 1;
        return decision;
    }
    const bool wholeFileAsRange =
        range && kept.length == 0 && range->first == 0 && range->total > 0 && range->last == range->total - 1;
    if (length && (head.status == 200 || wholeFileAsRange)) {
        decision.kind = ResponseDecision::Kind::StartAfresh;
        decision.total = wholeFileAsRange ? range->total : decision.announced.value_or(0);
        return decision;
    }
    // Kept bytes the server would not continue are dropped and the file
    // asked for whole, once; a request for the whole file that gets no
    // whole file fails.
    if (kept.length > 0) {
        decision.kind = ResponseDecision::Kind::AskForWholeFile;
        return decision;
    }
    const QByteArray contentRange = head.contentRange.value_or(QByteArray());
    decision.refusal = !length ? QStringLiteral("with a Content-Length that is no byte count")
        : contentRange.isEmpty()
        ? QStringLiteral("is not the whole file")
        : QStringLiteral("with \"%1\" is not the whole file").arg(QString::fromLatin1(contentRange));
    return decision;
}

bool completesFile(const ResponseDecision& decision, qint64 bodyBytes)
{
    return (!decision.announced || bodyBytes == *decision.announced)
        && (decision.total == 0 || decision.offset + bodyBytes == decision.total);
}
