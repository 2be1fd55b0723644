// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ChaosServer.h"

#include "support/ChaosAnswer.h"
#include "support/LoopbackListener.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

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
    12,  // WholeInsteadOfRange
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
        acceptor_ = std::thread([this] { acceptConnections(); });
    }

    ~Impl()
    {
        listener_.stop();
        acceptor_.join();
        std::map<std::thread::id, std::thread> left;
        {
            std::lock_guard lock(mutex_);
            left.swap(connections_);
        }
        for (auto& [id, thread] : left)
            thread.join();
    }

    ChaosLectures lectures_;
    LoopbackListener listener_{64};
    mutable std::mutex mutex_;
    mutable std::condition_variable idle_;
    int open_ = 0;
    bool calm_ = false;
    Counts counts_;
    std::map<int, std::uint64_t> continuedByLecture_;
    // The lectures watched, with their requests since.
    std::map<int, std::vector<Asked>> watched_;

private:
    void acceptConnections()
    {
        for (int fd; (fd = listener_.accept()) >= 0;) {
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
        if (const std::optional<ChaosRequest> request = readChaosRequest(fd, listener_.stopping())) {
            ChaosAnswer answer = decide(*request);
            const ChaosAnswer::Sent sent = answer.send(fd, listener_.stopping());
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
        if (lecture) {
            const auto watched = watched_.find(*lecture);
            if (watched != watched_.end() && watched->second.size() < 8)
                watched->second.push_back(Asked{request.rangeFrom, request.ifRange});
        }
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
        if (answer.continuesRange(request)) {
            ++counts_.rangesContinued;
            ++continuedByLecture_[*lecture];
        }
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
        .arg(impl_->listener_.port())
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

std::uint64_t ChaosServer::rangesContinued(int lecture) const
{
    std::lock_guard lock(impl_->mutex_);
    const auto found = impl_->continuedByLecture_.find(lecture);
    return found == impl_->continuedByLecture_.end() ? 0 : found->second;
}

void ChaosServer::watch(int lecture)
{
    std::lock_guard lock(impl_->mutex_);
    impl_->watched_[lecture].clear();
}

std::vector<ChaosServer::Asked> ChaosServer::asked(int lecture) const
{
    std::lock_guard lock(impl_->mutex_);
    const auto found = impl_->watched_.find(lecture);
    return found == impl_->watched_.end() ? std::vector<Asked>() : found->second;
}

bool ChaosServer::waitUntilIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(impl_->mutex_);
    return impl_->idle_.wait_for(lock, timeout, [this] { return impl_->open_ == 0; });
}
