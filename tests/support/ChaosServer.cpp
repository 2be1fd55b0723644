// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ChaosServer.h"

#include "support/ChaosAnswer.h"

#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Fault = ChaosServer::Fault;

// How often each fault is picked, out of their sum; a sound answer as
// often as all faults together, and the long stall, the one that costs
// seconds, least.
constexpr std::array<int, ChaosServer::kFaultKinds> kWeights = {
    60,  // None
    6,  // CutMidBody
    6,  // Reset
    5,  // ShortStall
    2,  // LongStall
    5,  // Trickle
    5,  // ServerError
    6,  // WholeInsteadOfRange
    6,  // WrongOffset
    5,  // Unsatisfiable
    5,  // ChangedLecture
    6,  // WrongLength
};

}  // namespace

class ChaosServer::Impl {
public:
    Impl(std::uint64_t seed, std::chrono::milliseconds stallLimit)
        : random_(seed),
          shortStall_(stallLimit / 4),
          // A client gives up one stall limit after the last byte it had;
          // one that waits out three and a second more did not keep it.
          longStall_(stallLimit * 3 + std::chrono::seconds(1))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 64) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0
            || ::pipe2(wake_, O_CLOEXEC) != 0)
            throw std::runtime_error("chaos server could not listen on a loopback port");
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptConnections(); });
    }

    ~Impl()
    {
        stopping_ = true;
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
        acceptor_.join();
        std::map<std::thread::id, std::thread> left;
        {
            std::lock_guard lock(mutex_);
            left.swap(connections_);
        }
        for (auto& [id, thread] : left)
            thread.join();
        ::close(listener_);
        ::close(wake_[0]);
        ::close(wake_[1]);
    }

    ChaosLectures lectures_;
    int port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable idle_;
    int open_ = 0;
    bool calm_ = false;
    Counts counts_;

private:
    void acceptConnections()
    {
        for (;;) {
            pollfd waits[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (::poll(waits, 2, -1) < 0 && errno != EINTR)
                return;
            if (stopping_)
                return;
            if (!(waits[0].revents & POLLIN))
                continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            std::vector<std::thread> ended;
            std::lock_guard lock(mutex_);
            for (const std::thread::id id : finished_) {
                ended.push_back(std::move(connections_[id]));
                connections_.erase(id);
            }
            finished_.clear();
            ++open_;
            std::thread thread([this, fd] { serve(fd); });
            connections_.emplace(thread.get_id(), std::move(thread));
            // The finished threads have nothing left but to return.
            for (std::thread& t : ended)
                t.join();
        }
    }

    void serve(int fd)
    {
        const timeval sendWait{0, 100 * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendWait, sizeof sendWait);
        if (const std::optional<ChaosRequest> request = readChaosRequest(fd, stopping_)) {
            ChaosAnswer answer = decide(*request);
            const ChaosAnswer::Sent sent = answer.send(fd, stopping_);
            if (sent == ChaosAnswer::Sent::LongStallWaitedOut) {
                std::lock_guard lock(mutex_);
                ++counts_.longStallsWaitedOut;
            }
            if (answer.fault() == Fault::Reset) {
                const linger abrupt{1, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
            }
        }
        ::close(fd);
        std::lock_guard lock(mutex_);
        finished_.push_back(std::this_thread::get_id());
        --open_;
        idle_.notify_all();
    }

    ChaosAnswer decide(const ChaosRequest& request)
    {
        std::lock_guard lock(mutex_);
        ++counts_.requests;
        if (request.rangeFrom)
            ++counts_.rangeRequests;
        const std::optional<int> lecture = ChaosLectures::lectureOfPath(request.path);
        if (!lecture || *lecture >= lectures_.count() || !lectures_.current(*lecture).present)
            return ChaosAnswer::notFound();
        ChaosAnswer answer(*lecture, lectures_.current(*lecture), request);
        const Fault fault = calm_ ? Fault::None : pick(answer);
        if (fault == Fault::ChangedLecture) {
            lectures_.change(*lecture, ChaosLectures::randomSize(random_));
            answer = ChaosAnswer(*lecture, lectures_.current(*lecture), request);
        }
        answer.inject(fault, random_, shortStall_, longStall_);
        ++counts_.faults[size_t(fault)];
        if (answer.continuesRange(request))
            ++counts_.rangesContinued;
        return answer;
    }

    Fault pick(const ChaosAnswer& honest)
    {
        std::array<int, kFaultKinds> weights = kWeights;
        for (int kind = 0; kind < kFaultKinds; ++kind) {
            if (!honest.canInject(Fault(kind)))
                weights[size_t(kind)] = 0;
        }
        std::discrete_distribution<int> kinds(weights.begin(), weights.end());
        return Fault(kinds(random_));
    }

    std::mt19937_64 random_;
    const std::chrono::milliseconds shortStall_;
    const std::chrono::milliseconds longStall_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::map<std::thread::id, std::thread> connections_;
    std::vector<std::thread::id> finished_;
};

ChaosServer::ChaosServer(std::uint64_t seed, std::chrono::milliseconds stallLimit)
    : impl_(std::make_unique<Impl>(seed, stallLimit))
{
}

ChaosServer::~ChaosServer() = default;

const char* ChaosServer::faultName(Fault fault)
{
    static constexpr std::array<const char*, kFaultKinds> kNames = {
        "none", "cut mid-body",   "connection reset",      "short stall", "long stall",      "trickle",
        "500",  "200 to a range", "206 at a wrong offset", "416",         "lecture changed", "wrong Content-Length",
    };
    return kNames[size_t(fault)];
}

ChaosLectures& ChaosServer::lectures()
{
    return impl_->lectures_;
}

const ChaosLectures& ChaosServer::lectures() const
{
    return impl_->lectures_;
}

QString ChaosServer::url(int lecture) const
{
    return QStringLiteral("http://127.0.0.1:%1%2")
        .arg(impl_->port_)
        .arg(QString::fromStdString(ChaosLectures::path(lecture)));
}

void ChaosServer::setCalm(bool calm)
{
    std::lock_guard lock(impl_->mutex_);
    impl_->calm_ = calm;
}

ChaosServer::Counts ChaosServer::counts() const
{
    std::lock_guard lock(impl_->mutex_);
    return impl_->counts_;
}

bool ChaosServer::waitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(impl_->mutex_);
    return impl_->idle_.wait_for(lock, timeout, [this] { return impl_->open_ == 0; });
}
