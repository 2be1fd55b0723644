// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ChaosAnswer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

using Clock = std::chrono::steady_clock;
using Fault = ChaosServer::Fault;

constexpr std::int64_t kPiece = 64 * 1024;

std::int64_t uniform(std::mt19937_64& random, std::int64_t least, std::int64_t most)
{
    return std::uniform_int_distribution<std::int64_t>(least, most)(random);
}

bool sendAll(int fd, const char* data, std::size_t size, const std::atomic<bool>& stopping)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && !stopping)
            continue;  // the send timeout passed: look at stopping again
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Waits for the time given, or until the client has closed the connection
// (then true): a client that gave up on a stall ends it.
bool clientLeftWithin(int fd, std::chrono::milliseconds wait, const std::atomic<bool>& stopping)
{
    const auto until = Clock::now() + wait;
    while (Clock::now() < until) {
        if (stopping)
            return true;
        pollfd watch{fd, POLLIN | POLLRDHUP, 0};
        if (::poll(&watch, 1, 5) < 0 && errno != EINTR)
            return true;
        if (watch.revents & (POLLRDHUP | POLLHUP | POLLERR))
            return true;
        char byte = 0;
        if ((watch.revents & POLLIN) && ::recv(fd, &byte, 1, MSG_DONTWAIT) <= 0)
            return true;
    }
    return false;
}

bool sameName(const std::string& name, const char* wanted)
{
    return std::equal(name.begin(), name.end(), wanted, wanted + std::strlen(wanted),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::optional<std::int64_t> rangeStart(const std::string& value)
{
    if (value.rfind("bytes=", 0) != 0 || value.size() < 8 || value.back() != '-')
        return std::nullopt;
    const std::string digits = value.substr(6, value.size() - 7);
    if (digits.empty() || digits.size() > 18
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoll(digits);
}

const char* reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    default:
        return "Internal Server Error";
    }
}

}  // namespace

std::optional<ChaosRequest> readChaosRequest(int fd, const std::atomic<bool>& stopping)
{
    std::string head;
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (stopping || Clock::now() > until || head.size() > 16 * 1024)
            return std::nullopt;
        pollfd watch{fd, POLLIN, 0};
        if (::poll(&watch, 1, 5) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return std::nullopt;
        head.append(buffer, size_t(n));
    }
    ChaosRequest request;
    std::size_t lineStart = 0;
    for (bool first = true;; first = false) {
        const std::size_t lineEnd = head.find("\r\n", lineStart);
        const std::string line = head.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (line.empty())
            break;
        if (first) {
            const std::size_t pathStart = line.find(' ');
            const std::size_t pathEnd = line.find_first_of(" ?", pathStart + 1);
            if (line.rfind("GET ", 0) != 0 || pathEnd == std::string::npos)
                return std::nullopt;
            request.path = line.substr(pathStart + 1, pathEnd - pathStart - 1);
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = line.substr(0, colon);
        const std::string value = trimmed(line.substr(colon + 1));
        if (sameName(name, "Range"))
            request.rangeFrom = rangeStart(value);
        else if (sameName(name, "If-Range"))
            request.ifRange = value;
    }
    return request;
}

ChaosAnswer ChaosAnswer::notFound()
{
    ChaosAnswer answer;
    answer.text_ = "<html><body><h1>404 Not Found</h1></body></html>";
    return answer;
}

ChaosAnswer::ChaosAnswer(int lecture, const ChaosLectures::Served& served, const ChaosRequest& request)
    : lecture_(lecture),
      version_(served.version),
      size_(served.size),
      validatorHeader_(served.validatorHeader),
      validator_(served.validator)
{
    const bool sameLecture = request.ifRange.empty() || request.ifRange == validator_;
    if (!request.rangeFrom || !sameLecture)
        answerWith(200, {}, 0, size_);
    else if (*request.rangeFrom < size_)
        answerWith(206,
                   "bytes " + std::to_string(*request.rangeFrom) + '-' + std::to_string(size_ - 1) + '/'
                       + std::to_string(size_),
                   *request.rangeFrom, size_ - *request.rangeFrom);
    else
        answerWith(416, "bytes */" + std::to_string(size_), 0, 0);
}

void ChaosAnswer::answerWith(int status, std::string contentRange, std::int64_t from, std::int64_t span)
{
    status_ = status;
    contentRange_ = std::move(contentRange);
    from_ = from;
    span_ = span;
}

bool ChaosAnswer::canInject(Fault fault) const
{
    const bool hasBody = (status_ == 200 || status_ == 206) && span_ > 0;
    switch (fault) {
    case Fault::CutMidBody:
    case Fault::ShortStall:
    case Fault::LongStall:
    case Fault::Trickle:
    case Fault::WrongLength:
        return hasBody;
    case Fault::WholeInsteadOfRange:
        return status_ == 206 || status_ == 416;
    case Fault::WrongOffset:
        return size_ >= 2;
    default:
        return true;
    }
}

void ChaosAnswer::inject(Fault fault, std::mt19937_64& random, std::chrono::milliseconds shortStall,
                         std::chrono::milliseconds longStall)
{
    fault_ = fault;
    switch (fault) {
    case Fault::None:
    case Fault::ChangedLecture:
        break;
    case Fault::CutMidBody:
        breakAt_ = uniform(random, 0, span_ - 1);
        break;
    case Fault::Reset:
        resetBeforeAnswer_ = span_ == 0 || uniform(random, 0, 2) == 0;
        if (!resetBeforeAnswer_)
            breakAt_ = uniform(random, 0, span_ - 1);
        break;
    case Fault::ShortStall:
    case Fault::LongStall:
        pauseAt_ = uniform(random, 0, span_ - 1);
        pause_ = fault == Fault::ShortStall ? shortStall : longStall;
        break;
    case Fault::Trickle:
        trickle_ = true;
        break;
    case Fault::ServerError:
        answerWith(500, {}, 0, 0);
        text_ = "<html><body><h1>500 Internal Server Error</h1></body></html>";
        break;
    case Fault::WholeInsteadOfRange:
        answerWith(200, {}, 0, size_);
        break;
    case Fault::WrongOffset: {
        // Any byte of the lecture but the one the sound answer starts at.
        std::int64_t first = uniform(random, 0, size_ - (status_ == 416 ? 1 : 2));
        if (status_ != 416 && first >= from_)
            ++first;
        answerWith(206,
                   "bytes " + std::to_string(first) + '-' + std::to_string(size_ - 1) + '/' + std::to_string(size_),
                   first, size_ - first);
        break;
    }
    case Fault::Unsatisfiable:
        answerWith(416, "bytes */" + std::to_string(size_), 0, 0);
        break;
    case Fault::WrongLength:
        if (status_ == 206 && span_ >= 2 && uniform(random, 0, 1) == 0) {
            // Short of its Content-Range: the body ends where its length says.
            span_ = uniform(random, 1, span_ - 1);
            announced_ = span_;
        } else {
            // More than comes: the connection closes after the body.
            announced_ = span_ + uniform(random, 1, std::max<std::int64_t>(1, size_));
        }
        break;
    }
}

bool ChaosAnswer::continuesRange(const ChaosRequest& request) const
{
    return status_ == 206 && !resetBeforeAnswer_ && request.rangeFrom && from_ == *request.rangeFrom;
}

ChaosAnswer::Sent ChaosAnswer::send(int fd, const std::atomic<bool>& stopping) const
{
    if (resetBeforeAnswer_)
        return Sent::Broken;
    std::string head = "HTTP/1.1 " + std::to_string(status_) + ' ' + reason(status_)
        + "\r\nContent-Type: application/octet-stream\r\nAccept-Ranges: bytes\r\nConnection: close\r\n";
    if (lecture_ >= 0)
        head += validatorHeader_ + ": " + validator_ + "\r\n";
    if (!contentRange_.empty())
        head += "Content-Range: " + contentRange_ + "\r\n";
    const std::int64_t length = text_.empty() ? span_ : std::int64_t(text_.size());
    head += "Content-Length: " + std::to_string(announced_.value_or(length)) + "\r\n\r\n";
    if (!sendAll(fd, head.data(), head.size(), stopping))
        return Sent::Broken;
    if (!text_.empty())
        return sendAll(fd, text_.data(), text_.size(), stopping) ? Sent::AsAnnounced : Sent::Broken;
    bool waitedOut = false;
    if (!sendBody(fd, stopping, waitedOut))
        return Sent::Broken;
    return waitedOut ? Sent::LongStallWaitedOut : Sent::AsAnnounced;
}

bool ChaosAnswer::sendBody(int fd, const std::atomic<bool>& stopping, bool& waitedOut) const
{
    const std::int64_t end = breakAt_ >= 0 ? breakAt_ : span_;
    // A trickle comes in some 64 pieces with a pause before each: slow,
    // yet never as slow as a stall.
    const std::int64_t tricklePiece = std::max<std::int64_t>(512, span_ / 64);
    std::vector<char> buffer(static_cast<size_t>(kPiece));
    std::int64_t sent = 0;
    while (sent < end) {
        if (sent == pauseAt_) {
            if (clientLeftWithin(fd, pause_, stopping))
                return false;
            waitedOut = fault_ == Fault::LongStall;
        }
        std::int64_t n = std::min(kPiece, end - sent);
        if (pauseAt_ > sent)
            n = std::min(n, pauseAt_ - sent);
        if (trickle_) {
            n = std::min(n, tricklePiece);
            if (clientLeftWithin(fd, std::chrono::milliseconds(4), stopping))
                return false;
        }
        ChaosLectures::fill(lecture_, version_, from_ + sent, buffer.data(), size_t(n));
        if (!sendAll(fd, buffer.data(), size_t(n), stopping))
            return false;
        sent += n;
    }
    return breakAt_ < 0;
}
