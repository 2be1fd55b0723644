// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoak.h"

#include "download/DownloadQueue.h"
#include "support/ChaosServer.h"
#include "support/DownloadSoakLedger.h"
#include "support/DownloadSoakProgram.h"
#include "support/ProcessGauges.h"
#include "support/SoakFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>

using Outcome = DownloadResult::Outcome;
using Admission = DownloadQueue::Admission;
using Phase = DownloadQueue::State::Phase;

namespace {

// A user presses 下 载 this often for one lecture before giving up.
constexpr int kMostPresses = 10;
}  // namespace

// One press of 下 载 the queue took, and what the user and the server do
// while it runs, at a share of the lecture decided beforehand, so that the
// seed alone decides them.
struct DownloadSoak::Press {
    int serial = 0;
    int presses = 1;  // of this download, this one included
    int versionBefore = 0;
    std::uint64_t continuedBefore = 0;
    double cancelAt = -1;
    bool cancelThroughPump = false;  // a click the pump hands over, or at once
    bool pressAgain = false;  // 下 载 again at once, while the cancel unwinds
    double changeAt = -1;  // the lecture changes on the server, or goes
    double restartAt = -1;  // the program closes and starts again
    DownloadSoakLedger::Expected expected;
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
    ledger_ = std::make_unique<DownloadSoakLedger>(*server_, *folder_, figures_);
    figures_.residentBeforeKiB = residentKiB();
    figures_.descriptorsBefore = openDescriptorCount();
    DownloadOptions options;
    options.durable = options_.durable;
    options.limits = limits();
    program_ = std::make_unique<DownloadSoakProgram>(
        options_.folder, options,
        DownloadSoakProgram::Handlers{
            [this](const QString& target) { stateChanged(target); },
            [this](const QString& target, const DownloadResult& result) { ended(target, result); }});
    program_->start();

    while (figures_.downloads < options_.downloads) {
        if (figures_.downloads >= figures_.warmUpDownloads && figures_.residentAfterWarmUpKiB == 0)
            figures_.residentAfterWarmUpKiB = residentKiB();
        changeBetweenRounds();
        if (!round())
            break;
    }
    figures_.residentAfterKiB = residentKiB();
    ledger_->checkLectures(ledger_->everyLecture(), QStringLiteral("after the run"));
    ledger_->checkFolder(ledger_->everyLecture());
    settle();
    // As the program ends: the connections it kept for the next download
    // go with it.
    program_.reset();

    figures_.descriptorsAfter = openDescriptorCount();
    figures_.server = server_->counts();
    ledger_->checkProcess();
    figures_.seconds = double(clock.elapsed()) / 1000.0;
    return figures_;
}

bool DownloadSoak::round()
{
    const int lectures = std::uniform_int_distribution<int>(1, 6)(random_);
    for (int i = 0; i < lectures && figures_.downloads < options_.downloads; ++i)
        download(std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_));
    // 下 载 again on one that is queued.
    if (!presses_.empty() && chance(0.2))
        press(std::next(presses_.begin(), std::uniform_int_distribution<int>(0, int(presses_.size()) - 1)(random_))
                  ->first,
              1, false);
    if (!waitUntilQuiet())
        return false;
    figures_.storedDespiteCancel += ledger_->settleUnsettled();
    ledger_->checkLectures(touched_, QStringLiteral("after a round"));
    ledger_->checkFolder(std::exchange(touched_, {}));
    return true;
}

void DownloadSoak::download(int lecture)
{
    ++figures_.downloads;
    // A lecture is stored again only once the user has deleted it, for
    // room or for its new version.
    if (ledger_->isStored(lecture) && !presses_.contains(lecture) && ledger_->isSettled(lecture) && chance(0.8)) {
        if (!QFile::remove(folder_->target(lecture)))
            ledger_->violated(QStringLiteral("stored lecture %1 could not be deleted").arg(lecture));
        ledger_->forget(lecture);
    }
    press(lecture, 1, true);
}

bool DownloadSoak::press(int lecture, int presses, bool withPlans, bool afterRestart)
{
    const QString target = folder_->target(lecture);
    const bool settled = ledger_->isSettled(lecture);
    const Admission expected = presses_.contains(lecture) ? Admission::AlreadyQueued
        : QFileInfo::exists(target)                       ? Admission::AlreadyStored
                                                          : Admission::Queued;
    const Phase phaseBefore = queue().state(target).phase;
    Press press;
    press.serial = ++pressSerial_;
    press.presses = presses;
    press.versionBefore = server_->lectures().current(lecture).version;
    press.continuedBefore = server_->rangesContinued(lecture);
    if (withPlans && !calm_) {
        if (chance(0.1)) {
            press.cancelAt = share();
            press.cancelThroughPump = chance(0.5);
            press.pressAgain = presses < kMostPresses && chance(0.6);
        }
        if (chance(0.04))
            press.changeAt = share();
        if (chance(0.1))
            press.restartAt = share();
    }
    // What the job will find when it opens the partial file, as no other
    // download of the lecture can touch it meanwhile.
    if (settled && expected == Admission::Queued)
        press.expected = ledger_->expectRequest(lecture, afterRestart);

    const Admission admission = queue().enqueue(server_->url(lecture), target, QStringLiteral("讲座 %1").arg(lecture));
    if (admission != expected && settled)
        ledger_->violated(QStringLiteral("下 载 on lecture %1 was admitted as %2, not %3")
                              .arg(lecture)
                              .arg(int(admission))
                              .arg(int(expected)));
    if (admission != Admission::Queued) {
        ++figures_.refused;
        if (queue().state(target).phase != phaseBefore
            || (admission == Admission::AlreadyStored && settled && !ledger_->storedAsRecorded(lecture)))
            ledger_->violated(QStringLiteral("下 载 on lecture %1, queued or stored, changed it").arg(lecture));
        return false;
    }
    ++figures_.presses;
    touched_.insert(lecture);
    presses_[lecture] = press;
    // 取 消 on a lecture that waits its turn: at once, or as the click lands.
    if (withPlans && !calm_ && queue().state(target).phase == Phase::Waiting && chance(0.25)) {
        if (chance(0.5))
            cancel(lecture, press.serial);
        else
            program_->later([this, lecture, serial = press.serial] { cancel(lecture, serial); });
    }
    return true;
}

void DownloadSoak::stateChanged(const QString& target)
{
    figures_.mostRunning = std::max(figures_.mostRunning, queue().runningCount());
    if (queue().runningCount() > DownloadQueue::kConcurrentDownloads)
        ledger_->violated(QStringLiteral("%1 downloads ran at once").arg(queue().runningCount()));
    const std::optional<int> lecture = folder_->lectureOf(target);
    const auto found = lecture ? presses_.find(*lecture) : presses_.end();
    const DownloadQueue::State state = queue().state(target);
    if (found == presses_.end() || state.phase != Phase::Running || state.total <= 0)
        return;
    Press& press = found->second;
    const double reached = double(state.received) / double(state.total);
    if (press.changeAt >= 0 && reached >= press.changeAt) {
        press.changeAt = -1;
        changeOnServer(*lecture);
        ++figures_.changedMidTransfer;
    }
    // Mid-way, so that the program closes on bytes not all there.
    if (press.restartAt >= 0 && reached >= press.restartAt && reached < 1) {
        press.restartAt = -1;
        // The window closes from its event loop, never inside the queue's
        // signal.
        if (!std::exchange(restartDue_, true))
            program_->later([this] { restart(); });
    }
    if (press.cancelAt >= 0 && reached >= press.cancelAt) {
        press.cancelAt = -1;
        if (press.cancelThroughPump)
            program_->later([this, lecture = *lecture, serial = press.serial] { cancel(lecture, serial); });
        else
            cancel(*lecture, press.serial);
    }
}

void DownloadSoak::ended(const QString& target, const DownloadResult& result)
{
    const std::optional<int> lecture = folder_->lectureOf(target);
    const auto found = lecture ? presses_.find(*lecture) : presses_.end();
    if (found == presses_.end()) {
        // Cancelled once its rename had begun: stored all the same, as the
        // round's settling checks.
        if (lecture && result.isComplete() && !ledger_->isSettled(*lecture))
            return;
        ledger_->violated(QStringLiteral("an end (%1) was told of %2, which was not in the queue")
                              .arg(QDebug::toString(result), target));
        return;
    }
    const Press press = found->second;
    presses_.erase(found);
    ++figures_.ends;
    ledger_->checkEnd(*lecture, press.versionBefore, press.expected, result);
    if (result.isComplete()) {
        ++figures_.stored;
        if (server_->rangesContinued(*lecture) > press.continuedBefore)
            ++figures_.storedAfterResuming;
        return;
    }
    figures_.countFailure(result);
    if (calm_) {
        ledger_->violated(QStringLiteral("lecture %1 could not be stored from the calm server: %2")
                              .arg(*lecture)
                              .arg(QDebug::toString(result)));
        return;
    }
    // A lecture the server no longer has is not asked for again.
    if ((result.outcome() == Outcome::HttpStatus && result.httpStatus() == 404) || press.presses >= kMostPresses) {
        ++figures_.givenUp;
        return;
    }
    // 下 载 again: at once, inside the queue's signal, or a turn later.
    if (chance(0.5))
        this->press(*lecture, press.presses + 1, true);
    else
        program_->later(
            [this, lecture = *lecture, presses = press.presses + 1] { this->press(lecture, presses, true); });
}

void DownloadSoak::cancel(int lecture, int serial)
{
    const auto found = presses_.find(lecture);
    if (found == presses_.end() || found->second.serial != serial)
        return;
    const Press press = found->second;
    presses_.erase(found);
    const QString target = folder_->target(lecture);
    if (queue().state(target).phase == Phase::Running) {
        ++figures_.cancelledRunning;
        // Its rename, should it have begun, stores the lecture all the same.
        ledger_->unsettle(lecture, press.versionBefore);
    } else {
        ++figures_.cancelledWaiting;
    }
    queue().cancel(target);
    if (queue().state(target).phase != Phase::Gone)
        ledger_->violated(QStringLiteral("lecture %1 was still in the queue once cancelled").arg(lecture));
    if (press.pressAgain) {
        ++figures_.pressedAgainAtOnce;
        this->press(lecture, press.presses + 1, false);
    } else {
        ++figures_.givenUp;
    }
}

void DownloadSoak::restart()
{
    restartDue_ = false;
    ++figures_.restarts;
    const std::map<int, Press> queued = std::exchange(presses_, {});
    struct Running {
        int lecture = 0;
        int versionBefore = 0;
        qint64 received = 0;  // as last reported
        bool alone = false;  // no cancelled download of it unwinding
    };
    std::vector<Running> running;
    for (const auto& [lecture, press] : queued) {
        const DownloadQueue::State state = queue().state(folder_->target(lecture));
        if (state.phase == Phase::Running)
            running.push_back({lecture, press.versionBefore, state.received, ledger_->isSettled(lecture)});
    }
    figures_.restartsInFlight += queued.empty() ? 0 : 1;
    program_->close();
    figures_.storedDespiteCancel += ledger_->settleUnsettled();
    for (const Running& download : running) {
        // Bytes it had it kept, unless its rename had begun.
        if (download.alone)
            ledger_->checkKeptAtClose(download.lecture, download.received);
        ledger_->unsettle(download.lecture, download.versionBefore);
    }
    figures_.storedAtClose += ledger_->settleUnsettled();
    ledger_->checkLectures(ledger_->everyLecture(), QStringLiteral("once the program closed"));
    program_->start();
    ledger_->checkFolder(ledger_->everyLecture());
    // The user presses 下 载 again on what was queued: the bytes kept are
    // asked for the rest of.
    for (const auto& [lecture, press] : queued)
        this->press(lecture, press.presses, false, true);
}

bool DownloadSoak::waitUntilQuiet()
{
    const bool quiet = program_->waitUntilQuiet(std::chrono::minutes(10));
    if (!quiet)
        ledger_->violated(QStringLiteral("the queue did not empty in ten minutes"));
    else if (!presses_.empty())
        ledger_->violated(
            QStringLiteral("the queue emptied without telling the end of lecture %1").arg(presses_.begin()->first));
    presses_.clear();
    return quiet;
}

void DownloadSoak::changeBetweenRounds()
{
    if (chance(0.01))
        restart();
    if (chance(0.1))
        changeOnServer(std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_));
}

void DownloadSoak::changeOnServer(int lecture)
{
    ChaosLectures& lectures = server_->lectures();
    if (!lectures.current(lecture).present)
        return;
    if (chance(0.25) && figures_.removedFromServer < figures_.lectures / 4) {
        lectures.remove(lecture);
        ++figures_.removedFromServer;
    } else {
        lectures.change(lecture, ChaosLectures::randomSize(random_));
        ++figures_.changedOnServer;
    }
}

void DownloadSoak::settle()
{
    // With the faults gone, one press brings each lecture up to date,
    // whatever the chaos left in the folder; an old copy the user deletes
    // first.
    server_->setCalm(true);
    calm_ = true;
    const ChaosLectures& lectures = server_->lectures();
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        const ChaosLectures::Served served = lectures.current(lecture);
        if (!served.present || folder_->holds(lecture, served.version))
            continue;
        QFile::remove(folder_->target(lecture));
        ledger_->forget(lecture);
        ++figures_.settled;
        if (!press(lecture, 1, false))
            ledger_->violated(QStringLiteral("lecture %1 was not queued once the server was calm").arg(lecture));
    }
    waitUntilQuiet();
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        const ChaosLectures::Served served = lectures.current(lecture);
        if (served.present && !folder_->holds(lecture, served.version))
            ledger_->violated(
                QStringLiteral("lecture %1 is not stored byte for byte as the server has it").arg(lecture));
    }
}

DownloadQueue& DownloadSoak::queue()
{
    return program_->queue();
}

bool DownloadSoak::chance(double probability)
{
    return std::bernoulli_distribution(probability)(random_);
}

double DownloadSoak::share()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}
