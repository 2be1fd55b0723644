// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/TerminationRequests.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array kHandledSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may only do async-signal-safe work: it writes the signal's
// number into a socket that the event loop watches.
int writeEnd = -1;
int readEnd = -1;
struct sigaction previous[kHandledSignals.size()];

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full socket means requests are already waiting; one more adds nothing.
    [[maybe_unused]] const auto written = ::write(writeEnd, &number, 1);
    // The next one of any kind is not to be queued behind a stuck event loop.
    for (const int handled : kHandledSignals)
        ::signal(handled, SIG_DFL);
    errno = savedErrno;
}

}  // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent)
{
    // A second instance would take the first one's socket; it stays inert.
    if (writeEnd >= 0)
        return;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;  // the default actions stay: the program still ends, only less gently
    writeEnd = ends[0];
    readEnd = ends[1];

    notifier_ = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationRequests::readPending);

    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &action, &previous[i]);
}

TerminationRequests::~TerminationRequests()
{
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &previous[i], nullptr);
    delete notifier_;
    ::close(writeEnd);
    ::close(readEnd);
    writeEnd = readEnd = -1;
}

void TerminationRequests::readPending()
{
    unsigned char number = 0;
    while (::read(readEnd, &number, 1) == 1)
        emit requested(number);
}

}  // namespace platform
