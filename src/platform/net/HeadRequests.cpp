// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/net/HeadRequests.h"

#include "platform/net/CurlRequest.h"
#include "platform/net/NetLog.h"
#include "platform/net/ResponseHeaders.h"

#include <deque>
#include <list>
#include <memory>

namespace platform {

namespace {

struct Transfer {
    int index = 0;
    bool rangedGet = false;
    // Before the request, which writes to it until it goes.
    char error[CURL_ERROR_SIZE] = {};
    std::unique_ptr<CurlRequest> request;
    QByteArray body;
    bool cutOff = false;
};

size_t keepFirstBytes(char* data, size_t size, size_t count, void* context)
{
    Transfer& transfer = *static_cast<Transfer*>(context);
    const qsizetype room = HeadRequests::kSniffedBytes - transfer.body.size();
    const qsizetype bytes = static_cast<qsizetype>(size * count);
    transfer.body.append(data, qMin(room, bytes));
    // A server that ignores the range would send the whole file: returning
    // short ends the transfer there.
    if (bytes > room) {
        transfer.cutOff = true;
        return 0;
    }
    return size * count;
}

bool refusesHead(long status)
{
    return status == 405 || status == 501;
}

HeadAnswer answerOf(const Transfer& transfer, CURLcode result)
{
    HeadAnswer answer;
    answer.fromRangedGet = transfer.rangedGet;
    if (result != CURLE_OK && !transfer.cutOff) {
        answer.errorString = transfer.request->failureReason(result, transfer.error);
        return answer;
    }
    const ResponseHeaders headers(*transfer.request);
    answer.answered = true;
    answer.status = headers.status();
    answer.contentType = headers.value("Content-Type");
    answer.acceptRanges = headers.value("Accept-Ranges");
    answer.contentRange = headers.value("Content-Range");
    answer.etag = headers.value("ETag");
    answer.lastModified = headers.value("Last-Modified");
    answer.firstBytes = transfer.body;
    return answer;
}

}  // namespace

HeadRequests::HeadRequests(const NetworkLimits& limits, int parallel)
    : limits_(limits),
      parallel_(qMax(1, parallel)) { }

QList<HeadAnswer> HeadRequests::run(const QStringList& addresses)
{
    QList<HeadAnswer> answers(addresses.size());
    initialiseCurlOnce();
    CURLM* multi = curl_multi_init();
    if (!multi) {
        for (HeadAnswer& answer : answers)
            answer.errorString = QStringLiteral("libcurl could not make a request");
        return answers;
    }
    std::deque<std::pair<int, bool>> waiting;
    for (int i = 0; i < addresses.size(); ++i)
        waiting.emplace_back(i, false);
    std::list<std::unique_ptr<Transfer>> active;

    const auto start = [&](int index, bool rangedGet) {
        auto transfer = std::make_unique<Transfer>();
        transfer->index = index;
        transfer->rangedGet = rangedGet;
        transfer->request = std::make_unique<CurlRequest>(addresses[index], limits_);
        CURL* handle = transfer->request->handle();
        if (!handle) {
            answers[index].errorString = QStringLiteral("libcurl could not make a request");
            return;
        }
        if (rangedGet)
            transfer->request->addHeader("Range: bytes=0-0");
        else
            curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &keepFirstBytes);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, transfer.get());
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, transfer->error);
        curl_easy_setopt(handle, CURLOPT_PRIVATE, transfer.get());
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(std::chrono::milliseconds(limits_.textFetchTimeout).count()));
        qCDebug(lcNet) << (rangedGet ? "GET bytes=0-0" : "HEAD") << transfer->request->address();
        curl_multi_add_handle(multi, handle);
        ++requestCount_;
        active.push_back(std::move(transfer));
    };

    while (!waiting.empty() || !active.empty()) {
        while (!waiting.empty() && static_cast<int>(active.size()) < parallel_) {
            const auto [index, rangedGet] = waiting.front();
            waiting.pop_front();
            start(index, rangedGet);
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&transfer));
            const CURLcode result = message->data.result;
            curl_multi_remove_handle(multi, message->easy_handle);
            HeadAnswer answer = answerOf(*transfer, result);
            if (!answer.answered)
                qCWarning(lcNet) << "asking" << transfer->request->address()
                                 << "for its head failed:" << qUtf8Printable(answer.errorString);
            if (!transfer->rangedGet && answer.answered && refusesHead(answer.status))
                waiting.emplace_front(transfer->index, true);
            else
                answers[transfer->index] = std::move(answer);
            active.remove_if([transfer](const std::unique_ptr<Transfer>& each) { return each.get() == transfer; });
        }
        if (!active.empty())
            curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    curl_multi_cleanup(multi);
    return answers;
}

}  // namespace platform
