// SPDX-License-Identifier: GPL-3.0-or-later

// kardelo-sample-server: serves the sample lecture library on loopback, so the
// client can be run and tried without the real library server.
//
// Files go out byte for byte (the lists stay GB2312, nothing is converted).
// Lecture audio goes out at a limited rate, because the small sample files
// would otherwise arrive before anyone could watch the percentage or press
// cancel. Each request is logged on one line on standard output.

#include "sample_files.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include <signal.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kDefaultPort = 18418;
constexpr std::size_t kDefaultAudioRateKiB = 200;
constexpr auto kWatchInterval = 200ms;

struct Options {
    int port = kDefaultPort;
    fs::path root = KARDELO_SAMPLE_LIBRARY;
    std::optional<pid_t> exitWithPid;
    std::size_t audioRate = kDefaultAudioRateKiB * 1024;  // bytes per second, 0 = unlimited
    int keepAliveSeconds = 0;  // 0: one request per connection
};

void printUsage(std::ostream& out)
{
    out << "usage: kardelo-sample-server [--port N] [--root DIR] [--exit-with-pid PID]"
           " [--audio-rate KIB] [--keep-alive SECONDS]\n"
           "  --port N             port on 127.0.0.1 (default "
        << kDefaultPort
        << "; 0 picks a free one)\n"
           "  --root DIR           folder to serve (default " KARDELO_SAMPLE_LIBRARY ")\n"
           "  --exit-with-pid PID  stop once process PID has ended\n"
           "  --audio-rate KIB     KiB per second for files under audio/ (default "
        << kDefaultAudioRateKiB
        << "; 0 means no limit)\n"
           "  --keep-alive SECONDS keep a connection open between requests for that long\n"
           "                       (default 0: one request per connection)\n";
}

std::optional<long long> parseNumber(std::string_view text, long long low, long long high)
{
    if (text.empty())
        return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (name == "--help" || name == "-h") {
            printUsage(std::cout);
            std::exit(0);
        }
        if (i + 1 >= args.size()) {
            std::cerr << "kardelo-sample-server: " << name << ": unknown option or missing value\n";
            return std::nullopt;
        }
        const std::string_view value = args[++i];
        std::optional<long long> number;
        if (name == "--port" && (number = parseNumber(value, 0, 65535))) {
            options.port = static_cast<int>(*number);
        } else if (name == "--root") {
            options.root = fs::path(value);
        } else if (name == "--exit-with-pid" && (number = parseNumber(value, 1, 1 << 30))) {
            options.exitWithPid = static_cast<pid_t>(*number);
        } else if (name == "--audio-rate" && (number = parseNumber(value, 0, 1 << 20))) {
            options.audioRate = static_cast<std::size_t>(*number) * 1024;
        } else if (name == "--keep-alive" && (number = parseNumber(value, 0, 60))) {
            options.keepAliveSeconds = static_cast<int>(*number);
        } else {
            std::cerr << "kardelo-sample-server: bad option " << name << ' ' << value << '\n';
            return std::nullopt;
        }
    }
    return options;
}

// A process that has ended but not yet been reaped by its parent still
// answers kill(pid, 0); it counts as gone.
bool processIsGone(pid_t pid)
{
    if (::kill(pid, 0) != 0 && errno == ESRCH)
        return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// A request that came through a forward proxy names the whole URL
// ("GET http://host:port/path"); HTTP/1.1 servers must take that form too.
// This is what lets a client built for another server's address reach this
// one by way of http_proxy.
std::string originForm(const std::string& target)
{
    const auto schemeEnd = target.find("://");
    if (schemeEnd == std::string::npos || target.front() == '/')
        return target;
    std::string scheme = target.substr(0, schemeEnd);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (scheme != "http")
        return target;
    const auto pathStart = target.find('/', schemeEnd + 3);
    return pathStart == std::string::npos ? std::string("/") : target.substr(pathStart);
}

bool isAudio(const std::string& urlPath)
{
    std::string_view path = urlPath;
    while (path.starts_with("//"))
        path.remove_prefix(1);
    return path.starts_with("/audio/");
}

std::string escapeHtml(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

const char* statusText(int status)
{
    switch (status) {
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 416:
        return "Range Not Satisfiable";
    case 500:
        return "Internal Server Error";
    default:
        return "Error";
    }
}

std::string clockText()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

class SampleServer {
public:
    explicit SampleServer(Options options) : options_(std::move(options))
    {
        // One request per connection unless asked: an idle kept-alive
        // connection holds up the stop for its whole time-out. A server
        // that keeps them, as real ones do, shows what reusing one saves.
        server_.set_keep_alive_max_count(options_.keepAliveSeconds > 0 ? 100 : 1);
        server_.set_keep_alive_timeout(std::max(options_.keepAliveSeconds, 1));
        // The library's default also sets SO_REUSEPORT, which would let a second
        // server share the port with a forgotten first one instead of failing.
        server_.set_socket_options([](socket_t sock) {
            const int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        server_.Get(".*",
                    [this](const httplib::Request& request, httplib::Response& response) { serve(request, response); });
        server_.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
            const std::string status = std::to_string(response.status);
            response.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + status
                                     + "</title></head>\n<body><h1>" + status + ' ' + statusText(response.status)
                                     + "</h1>\n<p>" + escapeHtml(request.path) + "</p></body></html>\n",
                                 "text/html");
        });
        server_.set_logger(
            [this](const httplib::Request& request, const httplib::Response& response) { log(request, response); });
    }

    // Returns the port, or nothing when it cannot be had.
    std::optional<int> bind()
    {
        if (options_.port == 0) {
            const int port = server_.bind_to_any_port("127.0.0.1");
            if (port > 0)
                return port;
        } else if (server_.bind_to_port("127.0.0.1", options_.port)) {
            return options_.port;
        }
        return std::nullopt;
    }

    void listen() { server_.listen_after_bind(); }
    bool isRunning() const { return server_.is_running(); }

    void stop()
    {
        stopping_ = true;
        server_.stop();
    }

private:
    // Counts what a rate-limited response has really sent; the logger reads it
    // once the response is over, which may be before the end of the file when
    // the client hung up.
    struct Stream {
        std::size_t total = 0;
        std::size_t sent = 0;
    };

    void serve(const httplib::Request& request, httplib::Response& response)
    {
        const std::string path = originForm(request.path);
        const auto file = resolve(options_.root, path);
        if (!file) {
            response.status = 404;
            return;
        }
        // Lets a client continue a download that broke off. The library
        // answers a Range by itself but knows no If-Range: a range asked
        // of a file that has changed since gets the whole file.
        const std::string tag = entityTag(*file);
        response.set_header("ETag", tag);
        if (request.has_header("If-Range") && request.get_header_value("If-Range") != tag)
            const_cast<httplib::Request&>(request).ranges.clear();
        if (isAudio(path) && options_.audioRate > 0) {
            serveThrottled(request, response, *file);
            return;
        }
        const auto bytes = readFile(*file);
        if (!bytes) {
            response.status = 500;
            return;
        }
        response.set_content(*bytes, contentType(*file));
    }

    void serveThrottled(const httplib::Request& request, httplib::Response& response, const fs::path& file)
    {
        auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
        std::error_code error;
        const auto size = fs::file_size(file, error);
        if (!*in || error) {
            response.status = 500;
            return;
        }
        auto stream = std::make_shared<Stream>();
        stream->total = static_cast<std::size_t>(size);
        {
            std::lock_guard lock(streamsMutex_);
            streams_[&request] = stream;
        }
        const std::size_t rate = options_.audioRate;
        // About twenty writes a second: smooth enough for a percentage display.
        const std::size_t chunk = std::max<std::size_t>(rate / 20, 1024);
        auto started = std::make_shared<std::optional<Clock::time_point>>();

        response.set_content_provider(
            stream->total, contentType(file),
            [this, in, stream, rate, chunk, started](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (!*started)
                    *started = Clock::now();
                // Paced against the start rather than per chunk, so time spent
                // writing does not slow the stream below the rate.
                const auto due = **started + std::chrono::microseconds(stream->sent * 1'000'000ULL / rate);
                while (Clock::now() < due) {
                    if (stopping_)
                        return false;
                    std::this_thread::sleep_for(std::min<Clock::duration>(due - Clock::now(), 50ms));
                }
                std::vector<char> buffer(std::min(length, chunk));
                in->seekg(static_cast<std::streamoff>(offset));
                in->read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                const auto got = static_cast<std::size_t>(in->gcount());
                if (got == 0 || stopping_)
                    return false;
                if (!sink.write(buffer.data(), got))
                    return false;
                stream->sent += got;
                return true;
            },
            [this, key = &request](bool) {
                std::lock_guard lock(streamsMutex_);
                streams_.erase(key);
            });
    }

    void log(const httplib::Request& request, const httplib::Response& response)
    {
        std::ostringstream line;
        line << clockText() << ' ' << request.method << ' ' << request.path << ' ' << response.status << ' ';
        std::shared_ptr<Stream> stream;
        {
            std::lock_guard lock(streamsMutex_);
            const auto found = streams_.find(&request);
            if (found != streams_.end())
                stream = found->second;
        }
        if (request.method == "HEAD")
            line << 0;
        else if (!stream)
            line << response.body.size();
        else if (stream->sent == stream->total || response.status != 200)
            line << stream->sent;  // a range request ends before the end of the file
        else
            line << stream->sent << " (cut off, " << stream->total << " in the file)";
        line << '\n';
        std::lock_guard lock(outputMutex_);
        std::cout << line.str() << std::flush;
    }

    Options options_;
    httplib::Server server_;
    std::atomic<bool> stopping_{false};
    std::mutex streamsMutex_;
    std::unordered_map<const httplib::Request*, std::shared_ptr<Stream>> streams_;
    std::mutex outputMutex_;
};

}  // namespace

int main(int argc, char** argv)
{
    auto options = parseOptions(argc, argv);
    if (!options) {
        printUsage(std::cerr);
        return 2;
    }
    std::error_code error;
    if (!fs::is_directory(options->root, error)) {
        std::cerr << "kardelo-sample-server: " << options->root.string() << " is not a folder\n";
        return 2;
    }
    options->root = fs::absolute(options->root, error);

    // The signals are taken by the watch loop below, not by a handler that
    // could interrupt the server's threads; they inherit this mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SampleServer server(*options);
    const auto port = server.bind();
    if (!port) {
        std::cerr << "kardelo-sample-server: cannot listen on 127.0.0.1:" << options->port
                  << " (is another server already running there?)\n";
        return 1;
    }
    std::cout << "kardelo-sample-server: serving " << options->root.string() << " on http://127.0.0.1:" << *port
              << "/ (audio at ";
    if (options->audioRate > 0)
        std::cout << options->audioRate / 1024 << " KiB/s)";
    else
        std::cout << "full speed)";
    if (options->exitWithPid)
        std::cout << ", until process " << *options->exitWithPid << " ends";
    std::cout << std::endl;

    std::atomic<bool> listening{true};
    std::thread listener([&] {
        server.listen();
        listening = false;
    });

    // A stop that comes before the listener is up is lost and leaves it
    // accepting for ever, so a signal waits (blocked) until then.
    while (listening && !server.isRunning())
        std::this_thread::sleep_for(1ms);

    const timespec watchInterval{0, std::chrono::nanoseconds(kWatchInterval).count()};
    std::string reason;
    while (reason.empty()) {
        siginfo_t info{};
        const int signal = sigtimedwait(&stopSignals, &info, &watchInterval);
        if (signal > 0)
            reason = std::string("signal ") + sigabbrev_np(signal);
        else if (options->exitWithPid && processIsGone(*options->exitWithPid))
            reason = "process " + std::to_string(*options->exitWithPid) + " has ended";
        else if (!listening)
            reason = "the listener stopped";
    }
    server.stop();
    listener.join();
    std::cout << "kardelo-sample-server: stopped (" << reason << ")" << std::endl;
    return 0;
}
