// SPDX-License-Identifier: GPL-3.0-or-later

// A download's answer: its status and the headers it reads (Content-Range,
// ETag, Last-Modified, Content-Length), the bytes kept from an earlier
// attempt, and how long the body turned out to be. What is stored under the
// lecture's name must be the whole file, by a rule written out here on its
// own: a 200 body (as long as its Content-Length, when it announces one);
// the exact 206 continuation of the kept bytes (from the kept length to the
// end, same total, same validator); or, when no range was asked for, a 206
// of bytes 0-(n-1)/n.
//
// The input is a small text:
//     206
//     <body bytes> <kept bytes> <kept total> <kept validator>
//     Content-Range: bytes 100-199/200
//     ETag: "v1"

#include "FuzzCheck.h"
#include "format/ResponseDecision.h"

#include <QByteArrayList>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <regex>
#include <string>

namespace {

constexpr qint64 kMost = std::numeric_limits<qint64>::max();
// Far beyond any lecture and far from an overflow when added up.
constexpr qint64 kLargestFile = qint64(1) << 50;

// A decimal count of bytes as HTTP writes it: digits only, within 2^63 - 1.
std::optional<qint64> byteCount(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > std::uint64_t(kMost))
        return std::nullopt;
    return static_cast<qint64>(value);
}

// A number of the input's second line, its digits read up to most.
qint64 inputNumber(const QByteArray& text, qint64 most)
{
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            continue;
        const int digit = c - '0';
        value = value > (most - digit) / 10 ? most : value * 10 + digit;
    }
    return value;
}

struct Answer {
    ResponseHead head;
    KeptBytes kept;
    qint64 body = 0;
};

// The header as the request gives it: the first of that name, whatever its
// case, without the blanks around its value.
std::optional<QByteArray> header(const QByteArrayList& lines, const QByteArray& name)
{
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

Answer answerOf(const QByteArray& input)
{
    QByteArrayList lines = input.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    Answer answer;
    answer.head.status = static_cast<long>(inputNumber(lines.value(0).left(4), 999));
    const QByteArrayList numbers = lines.value(1).split(' ');
    answer.body = inputNumber(numbers.value(0), kLargestFile);
    const qint64 keptLength = inputNumber(numbers.value(1), kLargestFile);
    answer.kept.total = inputNumber(numbers.value(2), kMost);
    answer.kept.validator = numbers.mid(3).join(' ');
    // Kept bytes are only asked to be continued with a validator, and
    // when they are fewer than the whole.
    const bool resumable =
        !answer.kept.validator.isEmpty() && (answer.kept.total == 0 || keptLength < answer.kept.total);
    answer.kept.length = resumable ? keptLength : 0;
    lines = lines.mid(2);
    answer.head.contentLength = header(lines, "Content-Length");
    answer.head.contentRange = header(lines, "Content-Range");
    answer.head.etag = header(lines, "ETag");
    answer.head.lastModified = header(lines, "Last-Modified");
    return answer;
}

struct Range {
    qint64 first = 0;
    qint64 last = 0;
    std::optional<qint64> total;  // none for "*"
};

std::optional<Range> rangeOf(const std::optional<QByteArray>& value)
{
    static const std::regex form(R"(^[bB][yY][tT][eE][sS] [ \t\n\v\f\r]*([0-9]+)-([0-9]+)/([0-9]+|\*)[ \t\n\v\f\r]*$)");
    std::smatch match;
    const std::string text = value.value_or(QByteArray()).toStdString();
    if (!value || !std::regex_match(text, match, form))
        return std::nullopt;
    const std::optional<qint64> first = byteCount(match.str(1));
    const std::optional<qint64> last = byteCount(match.str(2));
    const std::optional<qint64> total = match.str(3) == "*" ? std::nullopt : byteCount(match.str(3));
    if (!first || !last || *first > *last || (match.str(3) != "*" && (!total || *last >= *total)))
        return std::nullopt;
    return Range{*first, *last, total};
}

// What tells whether the file is still the same: a strong ETag, else the
// Last-Modified date.
QByteArray validatorOf(const ResponseHead& head)
{
    const bool strongTag = head.etag && !head.etag->isEmpty() && !head.etag->startsWith("W/");
    return strongTag ? *head.etag : head.lastModified.value_or(QByteArray());
}

struct Stored {
    qint64 size = 0;  // of the whole file
};

// What the rule stores, and how large the file is then.
std::optional<Stored> storedByTheRule(const Answer& answer)
{
    const ResponseHead& head = answer.head;
    std::optional<qint64> announced;
    if (head.contentLength) {
        announced = byteCount(head.contentLength->toStdString());
        if (!announced)
            return std::nullopt;
        if (answer.body != *announced)
            return std::nullopt;
    }
    if (head.status == 200)
        return Stored{answer.body};
    if (head.status != 206)
        return std::nullopt;
    const std::optional<Range> range = rangeOf(head.contentRange);
    if (!range)
        return std::nullopt;
    const KeptBytes& kept = answer.kept;
    if (kept.length == 0) {
        const bool wholeFile = range->first == 0 && range->total && *range->total > 0
            && range->last == *range->total - 1 && answer.body == *range->total;
        return wholeFile ? std::optional<Stored>({*range->total}) : std::nullopt;
    }
    const qint64 total = range->total.value_or(kept.total);
    const bool continuation = range->first == kept.length && total > 0 && range->last == total - 1
        && (kept.total == 0 || total == kept.total) && validatorOf(head) == kept.validator
        && answer.body == total - kept.length;
    return continuation ? std::optional<Stored>({total}) : std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Answer answer = answerOf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const ResponseDecision decision = decideOnResponse(answer.head, answer.kept);
    using Kind = ResponseDecision::Kind;

    // Kept bytes are either continued or dropped for the whole file; a
    // request for the whole file either gets it or fails.
    FUZZ_CHECK(decision.kind != Kind::AskForWholeFile || answer.kept.length > 0);
    FUZZ_CHECK(decision.kind != Kind::Refuse || answer.kept.length == 0);
    FUZZ_CHECK(decision.kind != Kind::ContinueKept || (answer.head.status == 206 && answer.kept.length > 0));
    FUZZ_CHECK(decision.offset == (decision.kind == Kind::ContinueKept ? answer.kept.length : 0));
    FUZZ_CHECK(decision.kind != Kind::Refuse || !decision.refusal.isEmpty());
    // A fresh start's record names the answer's validator.
    FUZZ_CHECK(decision.kind != Kind::StartAfresh || decision.validator == validatorOf(answer.head));

    const bool stored = (decision.kind == Kind::ContinueKept || decision.kind == Kind::StartAfresh)
        && completesFile(decision, answer.body);
    const std::optional<Stored> expected = storedByTheRule(answer);
    FUZZ_CHECK(stored == expected.has_value());
    if (stored) {
        FUZZ_CHECK(decision.offset + answer.body == expected->size);
        FUZZ_CHECK(decision.total == 0 || decision.total == expected->size);
    }
    return 0;
}
