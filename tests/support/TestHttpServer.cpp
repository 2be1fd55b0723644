// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/TestHttpServer.h"

#include <QFile>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <signal.h>

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

struct TestHttpServer::State {
    std::unique_ptr<httplib::Server> server;
    bool secure = false;
    std::thread thread;
    int port = 0;
    std::atomic<bool> stopping{false};
    mutable std::mutex mutex;
    std::map<std::string, Handler> routes;
    std::vector<Request> requests;

    void route(const std::string& path, Handler handler)
    {
        std::lock_guard lock(mutex);
        routes[path] = std::move(handler);
    }
};

std::string TestHttpServer::Request::header(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (std::equal(key.begin(), key.end(), name.begin(), name.end(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return value;
    }
    return {};
}

TestHttpServer::TestHttpServer() : TestHttpServer(std::make_unique<httplib::Server>(), false) { }

TestHttpServer::TestHttpServer(const TlsIdentity& identity)
    : TestHttpServer(std::make_unique<httplib::SSLServer>(QFile::encodeName(identity.certificateFile).constData(),
                                                          QFile::encodeName(identity.keyFile).constData()),
                     true)
{
}

TestHttpServer::TestHttpServer(std::unique_ptr<httplib::Server> server, bool secure) : state_(std::make_shared<State>())
{
    State* state = state_.get();
    state->server = std::move(server);
    state->secure = secure;
    if (!state->server->is_valid())
        throw std::runtime_error("test server could not load its certificate or key");
    state->server->Get(".*", [state](const httplib::Request& request, httplib::Response& response) {
        Handler handler;
        {
            std::lock_guard lock(state->mutex);
            Request recorded;
            recorded.method = request.method;
            recorded.path = request.path;
            recorded.target = request.target;
            recorded.remotePort = request.remote_port;
            for (const auto& [key, value] : request.headers)
                recorded.headers.emplace(key, value);
            state->requests.push_back(std::move(recorded));
            const auto found = state->routes.find(request.path);
            if (found != state->routes.end())
                handler = found->second;
        }
        if (handler) {
            // The library would cut any body to the Range asked for by
            // itself; every route here answers for its own ranges.
            const_cast<httplib::Request&>(request).ranges.clear();
            handler(request, response);
        } else {
            response.status = 404;
            response.set_content("<html><body><h1>404 Not Found</h1></body></html>", "text/html");
        }
    });
    state->port = state->server->bind_to_any_port("127.0.0.1");
    if (state->port <= 0)
        throw std::runtime_error("test server could not bind to a loopback port");
    state->thread = std::thread([state] {
        // OpenSSL writes to the socket without MSG_NOSIGNAL: a client that
        // refuses the certificate and hangs up mid-handshake would end the
        // test process. Blocked here, in the threads that serve (they
        // inherit it), the write fails instead.
        sigset_t brokenPipe;
        sigemptyset(&brokenPipe);
        sigaddset(&brokenPipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);
        state->server->listen_after_bind();
    });
    while (!state->server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestHttpServer::~TestHttpServer()
{
    state_->stopping = true;
    state_->server->stop();
    if (state_->thread.joinable())
        state_->thread.join();
}

int TestHttpServer::port() const
{
    return state_->port;
}

QString TestHttpServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(state_->secure ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(state_->port)
        .arg(path);
}

void TestHttpServer::serveBytes(const std::string& path, const QByteArray& body, int status,
                                const std::string& contentType)
{
    const std::string content = body.toStdString();
    state_->route(path, [content, status, contentType](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(content, contentType.c_str());
    });
}

void TestHttpServer::serveAnswer(const std::string& path, int status,
                                 const std::multimap<std::string, std::string>& headers, const QByteArray& body)
{
    const std::string content = body.toStdString();
    state_->route(path, [status, headers, content](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        for (const auto& [name, value] : headers)
            response.set_header(name.c_str(), value);
        response.set_content(content, "application/octet-stream");
    });
}

void TestHttpServer::serveFile(const std::string& path, const QByteArray& body, const StaticFile& file)
{
    const std::string content = body.toStdString();
    state_->route(path, [content, file](const httplib::Request& request, httplib::Response& response) {
        if (request.method == "HEAD" && file.refuseHead) {
            response.status = 405;
            return;
        }
        response.status = file.status;
        const bool firstByte =
            request.get_header_value("Range") == "bytes=0-0" && file.headers.count("Accept-Ranges") && !content.empty();
        response.set_content(firstByte ? content.substr(0, 1) : content, file.contentType.c_str());
        if (firstByte) {
            response.status = 206;
            response.set_header("Content-Range", "bytes 0-0/" + std::to_string(content.size()));
        }
        for (const auto& [name, value] : file.headers)
            response.set_header(name.c_str(), value);
    });
}

void TestHttpServer::serveWithoutLength(const std::string& path, const QByteArray& body)
{
    auto content = std::make_shared<std::string>(body.toStdString());
    state_->route(path, [content](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/octet-stream",
                                              [content](size_t offset, httplib::DataSink& sink) {
                                                  constexpr size_t kPiece = 4096;
                                                  if (offset < content->size()) {
                                                      const size_t n = std::min(kPiece, content->size() - offset);
                                                      sink.write(content->data() + offset, n);
                                                  } else {
                                                      sink.done();
                                                  }
                                                  return true;
                                              });
    });
}

void TestHttpServer::serveSlowly(const std::string& path, const QByteArray& body, std::size_t chunkSize,
                                 std::chrono::milliseconds pause)
{
    auto content = std::make_shared<std::string>(body.toStdString());
    State* state = state_.get();
    state_->route(path, [content, chunkSize, pause, state](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            content->size(), "application/octet-stream",
            [content, chunkSize, pause, state](size_t offset, size_t length, httplib::DataSink& sink) {
                // Sleep in short steps so a stopping server is not held up.
                const auto wakeAt = std::chrono::steady_clock::now() + pause;
                while (std::chrono::steady_clock::now() < wakeAt) {
                    if (state->stopping || !sink.is_writable())
                        return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                const size_t n = std::min(chunkSize, length);
                return sink.write(content->data() + offset, n);
            });
    });
}

void TestHttpServer::serveCutMidBody(const std::string& path, const QByteArray& body, std::int64_t announcedLength)
{
    auto content = std::make_shared<std::string>(body.toStdString());
    state_->route(path, [content, announcedLength](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(static_cast<size_t>(announcedLength), "application/octet-stream",
                                      [content](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset >= content->size())
                                              return false;  // drop the connection
                                          return sink.write(content->data() + offset, content->size() - offset);
                                      });
    });
}

namespace {

// A prime period, so the pattern never lines up with buffer sizes and a
// misplaced block shows up as a wrong byte.
constexpr std::int64_t kPatternPeriod = 65521;

const std::string& Pattern()
{
    static const std::string pattern = [] {
        std::string bytes(static_cast<size_t>(kPatternPeriod), '\0');
        for (std::int64_t i = 0; i < kPatternPeriod; ++i)
            bytes[static_cast<size_t>(i)] = static_cast<char>((i * 131 + i / 251) & 0xFF);
        return bytes;
    }();
    return pattern;
}

}  // namespace

char TestHttpServer::generatedByte(std::int64_t offset)
{
    return Pattern()[static_cast<size_t>(offset % kPatternPeriod)];
}

void TestHttpServer::serveGenerated(const std::string& path, std::int64_t size, std::int64_t cutAfter)
{
    State* state = state_.get();
    Pattern();
    state_->route(path, [size, cutAfter, state](const httplib::Request& request, httplib::Response& response) {
        static const std::string kTag = "\"generated\"";
        std::int64_t from = 0;
        const std::string range = request.get_header_value("Range");
        if (range.rfind("bytes=", 0) == 0 && request.get_header_value("If-Range") == kTag) {
            from = std::stoll(range.substr(6));
            response.status = 206;
            response.set_header("Content-Range",
                                "bytes " + std::to_string(from) + '-' + std::to_string(size - 1) + '/'
                                    + std::to_string(size));
        }
        response.set_header("ETag", kTag);
        const std::int64_t stopAt = cutAfter < 0 ? size : std::min(size, from + cutAfter);
        response.set_content_provider(
            static_cast<size_t>(size - from), "application/octet-stream",
            [state, from, stopAt](size_t offset, size_t length, httplib::DataSink& sink) {
                const auto at = from + static_cast<std::int64_t>(offset);
                if (state->stopping || at >= stopAt)
                    return false;
                const std::string& pattern = Pattern();
                const auto start = static_cast<size_t>(at % kPatternPeriod);
                const size_t n = std::min({length, pattern.size() - start, static_cast<size_t>(stopAt - at)});
                return sink.write(pattern.data() + start, n);
            });
    });
}

void TestHttpServer::serveResumable(const std::string& path, const Resumable& resource)
{
    auto content = std::make_shared<std::string>(resource.body.toStdString());
    State* state = state_.get();
    state_->route(path, [content, resource, state](const httplib::Request& request, httplib::Response& response) {
        const auto size = static_cast<std::int64_t>(content->size());
        std::int64_t from = 0;
        const std::string range = request.get_header_value("Range");
        const bool sameFile = request.get_header_value("If-Range") == resource.validator;
        if (range.rfind("bytes=", 0) == 0 && resource.answer == Resumable::Unsatisfiable) {
            response.status = 416;
            return;
        }
        if (range.rfind("bytes=", 0) == 0 && sameFile && resource.answer != Resumable::IgnoreRange) {
            from = std::stoll(range.substr(6));
            if (resource.answer == Resumable::WrongOffset)
                from = std::max<std::int64_t>(0, from - 1000);
            response.status = 206;
            response.set_header("Content-Range",
                                "bytes " + std::to_string(from) + '-' + std::to_string(size - 1) + '/'
                                    + std::to_string(size));
        }
        if (response.status != 206 || resource.answer != Resumable::NoValidatorOnRange)
            response.set_header(resource.validatorHeader.c_str(), resource.validator);
        const std::int64_t stopAt = resource.cutAfter < 0 ? size : std::min(size, from + resource.cutAfter);
        response.set_content_provider(
            static_cast<size_t>(size - from), "application/octet-stream",
            [content, resource, state, from, stopAt](size_t offset, size_t, httplib::DataSink& sink) {
                const auto at = from + static_cast<std::int64_t>(offset);
                if (at >= stopAt || state->stopping)
                    return false;  // drop the connection
                const auto wakeAt = std::chrono::steady_clock::now() + resource.pause;
                while (std::chrono::steady_clock::now() < wakeAt) {
                    if (state->stopping || !sink.is_writable())
                        return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                const std::int64_t piece = resource.pause.count() > 0 ? 1000 : 64 * 1024;
                const auto n = static_cast<size_t>(std::min(piece, stopAt - at));
                return sink.write(content->data() + at, n);
            });
    });
}

void TestHttpServer::serveEndless(const std::string& path)
{
    State* state = state_.get();
    state_->route(path, [state](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [state](size_t, httplib::DataSink& sink) {
            static const std::string piece(64 * 1024, 'x');
            return !state->stopping && sink.write(piece.data(), piece.size());
        });
    });
}

void TestHttpServer::redirect(const std::string& path, const std::string& target)
{
    state_->route(
        path, [target](const httplib::Request&, httplib::Response& response) { response.set_redirect(target, 302); });
}

std::vector<TestHttpServer::Request> TestHttpServer::requests() const
{
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

std::size_t TestHttpServer::requestCount(const std::string& path) const
{
    std::lock_guard lock(state_->mutex);
    return static_cast<std::size_t>(std::count_if(state_->requests.begin(), state_->requests.end(),
                                                  [&path](const Request& r) { return r.path == path; }));
}
