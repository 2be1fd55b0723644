// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoak.h"

#include "download/DownloadEngine.h"
#include "download/PartialDownload.h"
#include "platform/net/NetworkAccess.h"
#include "support/ChaosServer.h"
#include "support/ProcessGauges.h"
#include "support/SoakFolder.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTest>
#include <QThreadPool>

#include <algorithm>

using Outcome = DownloadResult::Outcome;

namespace {

// A user presses 下 载 this often for one lecture before giving up.
constexpr int kMostPresses = 10;
// Only the first broken invariants are kept with their details.
constexpr int kViolationsKept = 40;
// Memory may grow this much from the warm-up to the end of the run. The
// address sanitizer holds freed memory back (its quarantine) to catch late
// reads, so under it resident memory says nothing of leaks; its own leak
// and use-after-free checks stand in for this one there.
constexpr qint64 kResidentGrowthKiB = 5 * 1024;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryMeansSomething = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryMeansSomething = false;
#else
constexpr bool kResidentMemoryMeansSomething = true;
#endif
#else
constexpr bool kResidentMemoryMeansSomething = true;
#endif
// What the program's start prunes: partial files older than this.
constexpr std::chrono::hours kPartialLifetime{24 * 30};

// A clock that jumps a second at every reading, so every notification
// with progress raises the progress signal, and a cancel can land anywhere
// in a transfer, however fast the loopback is.
DownloadEngine::TickSource racingClock()
{
    auto now = std::make_shared<qint64>(1000000);
    return [now] { return *now += 1000; };
}

}  // namespace

// One press of 下 载, and what the user and the server do while it runs,
// at a share of the lecture decided beforehand, so that the seed alone
// decides them.
struct DownloadSoak::Press {
    int lecture = 0;
    int serial = 0;
    double cancelAt = -1;
    bool cancelled = false;
    bool cancelThroughPump = false;  // a click the pump hands over, or at once
    bool pressAgain = false;  // 下 载 again at once, while the cancel unwinds
    double elsewhereAt = -1;  // 下 载 on another lecture
    double changeAt = -1;  // the lecture changes on the server
};

DownloadSoak::DownloadSoak(Options options) : options_(std::move(options)), random_(options_.seed) { }

DownloadSoak::~DownloadSoak() = default;

platform::NetworkLimits DownloadSoak::limits()
{
    platform::NetworkLimits limits;
    limits.connectTimeout = std::chrono::seconds(5);
    limits.stallTimeout = std::chrono::seconds(1);
    return limits;
}

DownloadSoakFigures DownloadSoak::run()
{
    // Thousands of failures are the point here; QT_LOGGING_RULES can still
    // turn their log back on.
    QLoggingCategory::setFilterRules(QStringLiteral("kardelo.*.warning=false"));
    QElapsedTimer clock;
    clock.start();
    figures_.seed = options_.seed;
    figures_.warmUpDownloads = std::min(100, options_.downloads / 2);

    server_ = std::make_unique<ChaosServer>(options_.seed, limits().stallTimeout);
    ChaosLectures& lectures = server_->lectures();
    folder_ = std::make_unique<SoakFolder>(options_.folder, lectures);
    figures_.lectures = std::clamp(options_.downloads / 8, 8, 200);
    for (int i = 0; i < figures_.lectures; ++i)
        lectures.add(ChaosLectures::randomSize(random_), chance(0.25));
    stored_.assign(size_t(figures_.lectures), std::nullopt);
    figures_.descriptorsBefore = openDescriptorCount();
    startProgram();

    for (int i = 0; i < options_.downloads; ++i) {
        if (i == figures_.warmUpDownloads)
            figures_.residentAfterWarmUpKiB = residentKiB();
        changeBetweenDownloads();
        download(std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_));
    }
    figures_.residentAfterKiB = residentKiB();
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        if (!storedAsRecorded(lecture))
            violated(QStringLiteral("after the run, lecture %1 is not as its last stored start left it").arg(lecture));
    }
    checkFolder(std::nullopt);
    settle();
    // As the program ends: the connections it kept for the next download
    // go with it.
    engine_.reset();
    network_.reset();
    // The thread that did the renames holds a descriptor for its events
    // while it waits in the pool.
    QThreadPool::globalInstance()->waitForDone();

    if (!server_->waitUntilIdle(std::chrono::seconds(10)))
        violated(QStringLiteral("the server still has a connection open after the run"));
    figures_.descriptorsAfter = openDescriptorCount();
    if (figures_.descriptorsAfter != figures_.descriptorsBefore)
        violated(QStringLiteral("%1 file descriptors open after the run, %2 before")
                     .arg(figures_.descriptorsAfter)
                     .arg(figures_.descriptorsBefore));
    if (kResidentMemoryMeansSomething
        && figures_.residentAfterKiB - figures_.residentAfterWarmUpKiB > kResidentGrowthKiB)
        violated(QStringLiteral("resident memory grew by %1 KiB after the first %2 downloads")
                     .arg(figures_.residentAfterKiB - figures_.residentAfterWarmUpKiB)
                     .arg(figures_.warmUpDownloads));
    figures_.server = server_->counts();
    if (figures_.server.longStallsWaitedOut > 0)
        violated(QStringLiteral("the engine waited out %1 stall(s) far past its limit")
                     .arg(figures_.server.longStallsWaitedOut));
    figures_.seconds = double(clock.elapsed()) / 1000.0;
    return figures_;
}

void DownloadSoak::startProgram()
{
    // As the window's start does: a new engine, and the partial files that
    // will not be resumed pruned.
    DownloadOptions options;
    options.durable = options_.durable;
    options.limits = limits();
    engine_.reset();
    network_ = std::make_unique<platform::NetworkAccess>();
    engine_ = std::make_unique<DownloadEngine>(*network_, options, racingClock());
    QObject::connect(engine_.get(), &DownloadEngine::progressed, engine_.get(),
                     [this](qint64 received, qint64 total, qint32) { progressed(received, total); });
    prunePartialDownloads(options_.folder, kPartialLifetime);
}

void DownloadSoak::download(int lecture)
{
    ++figures_.downloads;
    for (int i = 0; i < kMostPresses; ++i) {
        const Outcome outcome = press(lecture);
        if (outcome == Outcome::Complete)
            return;
        // A lecture the server no longer has is not asked for again; one
        // cancelled is, or not, as the user likes.
        if (outcome == Outcome::HttpStatus && engine_->lastResult().httpStatus() == 404)
            break;
        if (outcome == Outcome::Cancelled && chance(0.5))
            break;
    }
    ++figures_.givenUp;
}

DownloadResult::Outcome DownloadSoak::press(int lecture)
{
    Press press;
    press.lecture = lecture;
    press.serial = ++pressSerial_;
    if (!calm_ && chance(0.08)) {
        press.cancelAt = share();
        press.cancelThroughPump = chance(0.5);
        press.pressAgain = presses_.empty() && chance(0.3);
    }
    if (!calm_ && chance(0.02))
        press.elsewhereAt = share();
    if (!calm_ && chance(0.04))
        press.changeAt = share();
    if (!presses_.empty())
        ++figures_.pressedAgainAtOnce;

    const ChaosLectures& lectures = server_->lectures();
    const int versionBefore = lectures.current(lecture).version;
    const std::uint64_t continuedBefore = server_->counts().rangesContinued;
    presses_.push_back(&press);
    bool stored = false;
    if (engine_->start(server_->url(lecture), folder_->target(lecture))) {
        bool ended = false;
        QObject context;
        QObject::connect(engine_.get(), &DownloadEngine::finished, &context, [&ended] { ended = true; });
        // A cancel through the window's events lands a turn or more later.
        QTest::qWaitFor([&] { return ended || (press.cancelled && !engine_->isDownloading()); }, 10 * 60 * 1000);
        stored = ended && engine_->lastResult().isComplete();
    }
    presses_.pop_back();
    const DownloadResult result = engine_->lastResult();
    // A cancel that came once the rename had begun stores the whole lecture.
    QTest::qWaitFor([this] { return !engine_->isUnwinding(); }, 60 * 1000);
    if (press.cancelled && !storedAsRecorded(lecture))
        stored = true;
    ++figures_.starts;
    if (stored && server_->counts().rangesContinued > continuedBefore)
        ++figures_.storedAfterResuming;
    checkPress(lecture, stored, result, versionBefore, lectures.current(lecture).version);
    return result.outcome();
}

void DownloadSoak::progressed(qint64 received, qint64 total)
{
    if (presses_.empty() || total <= 0)
        return;
    Press& press = *presses_.back();
    const double reached = double(received) / double(total);
    if (press.changeAt >= 0 && reached >= press.changeAt) {
        press.changeAt = -1;
        server_->lectures().change(press.lecture, ChaosLectures::randomSize(random_));
        ++figures_.changedOnServer;
        ++figures_.changedMidTransfer;
    }
    // Once cancelled the download may be pressed again, and then is no
    // longer running to refuse another.
    if (press.elsewhereAt >= 0 && reached >= press.elsewhereAt && !press.cancelled) {
        press.elsewhereAt = -1;
        pressElsewhere(press);
    }
    if (press.cancelAt >= 0 && reached >= press.cancelAt) {
        press.cancelAt = -1;
        cancel(press);
    }
}

void DownloadSoak::cancel(Press& press)
{
    press.cancelled = true;
    // What the window's pump hands over while this press runs; only this
    // press is cancelled, and pressed again, by it.
    const auto stillRunning = [this, serial = press.serial] {
        return !presses_.empty() && presses_.back()->serial == serial;
    };
    if (press.cancelThroughPump) {
        QMetaObject::invokeMethod(
            engine_.get(),
            [this, stillRunning] {
                if (stillRunning())
                    engine_->abort();
            },
            Qt::QueuedConnection);
    } else {
        engine_->abort();
    }
    if (press.pressAgain) {
        QMetaObject::invokeMethod(
            engine_.get(),
            [this, stillRunning, lecture = press.lecture] {
                if (stillRunning())
                    this->press(lecture);
            },
            Qt::QueuedConnection);
    }
}

void DownloadSoak::pressElsewhere(const Press& press)
{
    const int other = (press.lecture + 1) % figures_.lectures;
    ++figures_.refused;
    const bool stored = engine_->start(server_->url(other), folder_->target(other));
    if (stored || engine_->lastResult().outcome() != Outcome::Refused || !storedAsRecorded(other))
        violated(QStringLiteral("下 载 on lecture %1 while lecture %2 downloaded was not refused, or changed it (%3)")
                     .arg(other)
                     .arg(press.lecture)
                     .arg(QDebug::toString(engine_->lastResult())));
}

void DownloadSoak::changeBetweenDownloads()
{
    ChaosLectures& lectures = server_->lectures();
    const int lecture = std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_);
    if (chance(0.02)) {
        startProgram();
        ++figures_.restarts;
        for (int l = 0; l < figures_.lectures; ++l) {
            if (!storedAsRecorded(l))
                violated(QStringLiteral("starting the program again changed stored lecture %1").arg(l));
        }
        checkFolder(std::nullopt);
    }
    if (!lectures.current(lecture).present)
        return;
    if (chance(0.03)) {
        lectures.change(lecture, ChaosLectures::randomSize(random_));
        ++figures_.changedOnServer;
    } else if (chance(0.01) && figures_.removedFromServer < figures_.lectures / 4) {
        lectures.remove(lecture);
        ++figures_.removedFromServer;
    }
}

void DownloadSoak::settle()
{
    // With the faults gone, one press brings each lecture up to date,
    // whatever the chaos left in the folder.
    server_->setCalm(true);
    calm_ = true;
    const ChaosLectures& lectures = server_->lectures();
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        const ChaosLectures::Served served = lectures.current(lecture);
        if (!served.present || stored_[size_t(lecture)] == served.version)
            continue;
        ++figures_.settled;
        if (press(lecture) != Outcome::Complete)
            violated(QStringLiteral("lecture %1 could not be stored from the calm server: %2")
                         .arg(lecture)
                         .arg(QDebug::toString(engine_->lastResult())));
    }
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        const ChaosLectures::Served served = lectures.current(lecture);
        if (served.present && !folder_->holds(lecture, served.version))
            violated(QStringLiteral("lecture %1 is not stored byte for byte as the server has it").arg(lecture));
    }
}

void DownloadSoak::checkPress(int lecture, bool stored, const DownloadResult& result, int versionBefore,
                              int versionAfter)
{
    const QString where = QStringLiteral("start %1 (lecture %2)").arg(figures_.starts).arg(lecture);
    if (stored) {
        ++figures_.stored;
        // Any version served while it ran, but all of one.
        std::optional<int> version;
        for (int v = versionBefore; v <= versionAfter && !version; ++v) {
            if (folder_->holds(lecture, v))
                version = v;
        }
        if (version)
            stored_[size_t(lecture)] = version;
        else
            violated(QStringLiteral("%1 stored %2 bytes that are no whole version of the lecture (%3 bytes now)")
                         .arg(where)
                         .arg(QFileInfo(folder_->target(lecture)).size())
                         .arg(server_->lectures().current(lecture).size));
    } else {
        if (result.outcome() == Outcome::Cancelled)
            ++figures_.cancelled;
        if (!storedAsRecorded(lecture))
            violated(QStringLiteral("%1 failed (%2) and left the stored lecture changed")
                         .arg(where, QDebug::toString(result)));
    }
    // A press inside another one leaves the outer one's partial file open:
    // the folder is looked at once they have all returned.
    if (presses_.empty())
        checkFolder(lecture);
}

bool DownloadSoak::storedAsRecorded(int lecture) const
{
    return folder_->holds(lecture, stored_[size_t(lecture)]);
}

void DownloadSoak::checkFolder(std::optional<int> pressedLecture)
{
    for (const QString& problem : folder_->partialFileProblems(pressedLecture))
        violated(QStringLiteral("after start %1: %2").arg(figures_.starts).arg(problem));
}

void DownloadSoak::violated(const QString& what)
{
    if (++figures_.violationCount <= kViolationsKept)
        figures_.violations << what;
}

bool DownloadSoak::chance(double probability)
{
    return std::bernoulli_distribution(probability)(random_);
}

double DownloadSoak::share()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}
