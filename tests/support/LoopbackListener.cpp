// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackListener::LoopbackListener(int backlog)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener_, backlog) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0
        || ::pipe2(wake_, O_CLOEXEC) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        throw std::runtime_error("could not listen on a loopback port");
    }
    port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener()
{
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

int LoopbackListener::accept()
{
    for (;;) {
        pollfd waits[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0 && errno != EINTR)
            return -1;
        if (stopping_)
            return -1;
        if (!(waits[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            return fd;
    }
}

void LoopbackListener::stop()
{
    stopping_ = true;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
}
