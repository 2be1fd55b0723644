// SPDX-License-Identifier: GPL-3.0-or-later

// From launch to main window on screen: the real kardelo process against
// the sample server on loopback, next to a bare Qt window program launched
// the same way, alternating, and the resident memory of each once idle.
//
//   start_up_bench [LAUNCHES] [CATALOGUE_LINES] [PROGRAM] [ROUND_TRIP_MS]
//
// LAUNCHES of each program (default 9); medians are compared. With
// CATALOGUE_LINES above 0 the sample catalogue is replaced by one of that
// many conferences. PROGRAM times another build of kardelo instead of this
// one, an older one say ("-" for this one). With ROUND_TRIP_MS the server
// is reached through a DelayingRelay, a link with that round trip, and the
// connections the program opened are counted: the window opens once the
// catalogue has been read, so this is launch to catalogue over a long link. Needs an X display (Xvfb will do, with no
// window manager): the time ends when the X server reports the program's window mapped, seen through the root window's
// substructure events.

#include "DelayingRelay.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Launch {
    double milliseconds = 0;
    long residentKiB = 0;
};

class Display {
public:
    Display()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof name - 1, name), nullptr);
        pidAtom_ = atom ? atom->atom : XCB_NONE;
        free(atom);
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }

    bool valid() const { return !xcb_connection_has_error(connection_) && pidAtom_ != XCB_NONE; }

    // Waits for a window of process pid at least minimumWidth wide to be
    // mapped (a message box saying the server could not be read does not
    // count); false after timeout.
    bool waitForMappedWindowOf(pid_t pid, int minimumWidth, std::chrono::seconds timeout)
    {
        const auto giveUp = Clock::now() + timeout;
        while (Clock::now() < giveUp) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (!event) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            free(event);
            if (mapped && ownerOf(window) == pid && widthOf(window) >= minimumWidth)
                return true;
        }
        return false;
    }

private:
    int widthOf(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* reply =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        const int width = reply ? reply->width : 0;
        free(reply);
        return width;
    }

    pid_t ownerOf(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
        free(reply);
        return pid;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_NONE;
};

long residentKiB(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

std::optional<Launch> launch(Display& display, const char* program, const std::string& proxy)
{
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        ::setenv("http_proxy", proxy.c_str(), 1);
        ::unsetenv("no_proxy");
        ::unsetenv("NO_PROXY");
        ::unsetenv("QT_QPA_PLATFORM");
        // Its warnings (no sound server, no runtime folder) are not ours to show.
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(program, program, static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    std::optional<Launch> result;
    // Both main windows are 760 pixels wide.
    if (display.waitForMappedWindowOf(child, 700, std::chrono::seconds(30))) {
        Launch measured;
        measured.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        // Idle by now: what stays resident while the user looks at the window.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        measured.residentKiB = residentKiB(child);
        result = measured;
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A copy of the sample library whose catalogue has lines conferences.
bool makeLibrary(const QString& root, int lines)
{
    const QString source = QStringLiteral(KARDELO_SAMPLE_LIBRARY);
    for (const QString& folder : {QStringLiteral("/"), QStringLiteral("/lists/"), QStringLiteral("/audio/")}) {
        QDir().mkpath(root + folder);
        for (const QString& name : QDir(source + folder).entryList(QDir::Files)) {
            if (!QFile::copy(source + folder + name, root + folder + name))
                return false;
        }
    }
    if (lines <= 0)
        return true;
    QString text;
    for (int k = 0; k < lines; ++k)
        text += QStringLiteral("第%1届全国心血管病学术会议%20131015*\r\n").arg(k);
    QFile catalogue(root + QStringLiteral("/lists/catalogue.txt"));
    QStringEncoder toGb2312("GB2312");
    return catalogue.open(QIODevice::WriteOnly | QIODevice::Truncate) && catalogue.write(toGb2312.encode(text)) > 0;
}

// Starts the sample server on a free port; returns its pid and port.
std::optional<std::pair<pid_t, int>> startServer(const QString& root, bool keepAlive)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t server = ::fork();
    if (server == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        const QByteArray rootPath = QFile::encodeName(root);
        ::execl(KARDELO_SAMPLE_SERVER, KARDELO_SAMPLE_SERVER, "--port", "0", "--root", rootPath.constData(),
                "--keep-alive", keepAlive ? "5" : "0", static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipeEnds[1]);
    std::string banner;
    char c = 0;
    while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        banner += c;
    // The rest of its output (one line per request) is not read; keep the
    // pipe open so that the server never blocks on a closed reader.
    const auto at = banner.find("127.0.0.1:");
    if (at == std::string::npos)
        return std::nullopt;
    return std::pair(server, std::atoi(banner.c_str() + at + 10));
}

}  // namespace

int main(int argc, char* argv[])
{
    const int launches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int catalogueLines = argc > 2 ? std::atoi(argv[2]) : 0;
    const char* const program = argc > 3 && std::string(argv[3]) != "-" ? argv[3] : KARDELO_EXECUTABLE;
    const int roundTripMs = argc > 4 ? std::atoi(argv[4]) : 0;
    Display display;
    if (!display.valid()) {
        std::fprintf(stderr, "no X display: run it under Xvfb (see the README)\n");
        return 1;
    }
    QTemporaryDir library;
    if (!library.isValid() || !makeLibrary(library.path(), catalogueLines)) {
        std::fprintf(stderr, "could not make the library\n");
        return 1;
    }
    // Over a long link a server that keeps connections, as real ones do.
    const auto server = startServer(library.path(), roundTripMs > 0);
    if (!server) {
        std::fprintf(stderr, "the sample server did not start\n");
        return 1;
    }
    std::unique_ptr<DelayingRelay> relay;
    if (roundTripMs > 0)
        relay = std::make_unique<DelayingRelay>(server->second, std::chrono::milliseconds(roundTripMs));
    const std::string proxy = "http://127.0.0.1:" + std::to_string(relay ? relay->port() : server->second);

    std::vector<Launch> ours;
    std::vector<Launch> bare;
    for (int i = 0; i < launches; ++i) {
        // Alternate which goes first, so neither always meets warm caches.
        for (const bool oursFirst : {i % 2 == 0, i % 2 != 0}) {
            const auto measured = launch(display, oursFirst ? program : BARE_WINDOW_EXECUTABLE, proxy);
            if (!measured) {
                std::fprintf(stderr, "%s: no window within 30 s\n", oursFirst ? "kardelo" : "bare window");
                ::kill(server->first, SIGTERM);
                return 1;
            }
            (oursFirst ? ours : bare).push_back(*measured);
        }
    }
    ::kill(server->first, SIGTERM);
    ::waitpid(server->first, nullptr, 0);

    const auto times = [](const std::vector<Launch>& runs) {
        std::vector<double> values;
        for (const Launch& run : runs)
            values.push_back(run.milliseconds);
        return values;
    };
    const auto memory = [](const std::vector<Launch>& runs) {
        std::vector<long> values;
        for (const Launch& run : runs)
            values.push_back(run.residentKiB);
        return values;
    };
    const double ourTime = median(times(ours));
    const double bareTime = median(times(bare));
    const double ourMemory = median(memory(ours)) / 1024.0;
    const double bareMemory = median(memory(bare)) / 1024.0;
    std::printf("launch to main window mapped, median of %d launches each, %s catalogue\n", launches,
                catalogueLines > 0 ? (std::to_string(catalogueLines) + "-line").c_str() : "sample");
    if (relay)
        std::printf("  over a link of %d ms round trip: %.1f connections per kardelo launch\n", roundTripMs,
                    static_cast<double>(relay->connections()) / launches);
    std::printf("  kardelo       %8.1f ms   idle resident %6.1f MB\n", ourTime, ourMemory);
    std::printf("  bare window   %8.1f ms   idle resident %6.1f MB\n", bareTime, bareMemory);
    std::printf("  ratio         %8.2fx                  %6.2fx\n", ourTime / bareTime, ourMemory / bareMemory);
    std::printf("  kardelo, every launch (ms):");
    for (const Launch& run : ours)
        std::printf(" %.0f", run.milliseconds);
    std::printf("\n  bare, every launch (ms):");
    for (const Launch& run : bare)
        std::printf(" %.0f", run.milliseconds);
    std::printf("\n");
    return 0;
}
