// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/DownloadSoak.h"

#include "download/DownloadEngine.h"
#include "support/ChaosServer.h"
#include "support/ProcessGauges.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <map>

using Outcome = DownloadResult::Outcome;

namespace {

// A user presses 下 载 this often for one lecture before giving up.
constexpr int kMostPresses = 10;
// Only the first broken invariants are kept with their details.
constexpr int kViolationsKept = 40;
// Memory may grow this much from the warm-up to the end of the run.
constexpr qint64 kResidentGrowthKiB = 5 * 1024;

const QString kPartialPrefix = QStringLiteral(".kardelo-");

// A clock that jumps a second at every reading, so every notification
// with progress raises the progress signal, and a cancel can land anywhere
// in a transfer, however fast the loopback is.
DownloadEngine::TickSource racingClock()
{
    auto now = std::make_shared<qint64>(1000000);
    return [now] { return *now += 1000; };
}

// The name and validator lines of a partial download's record.
std::map<QByteArray, QByteArray> readRecord(const QString& path)
{
    QFile file(path);
    std::map<QByteArray, QByteArray> fields;
    if (!file.open(QIODevice::ReadOnly))
        return fields;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space > 0)
            fields[line.left(space)] = line.mid(space + 1);
    }
    return fields;
}

}  // namespace

struct DownloadSoak::Press {
    int lecture = 0;
    int serial = 0;
    double cancelAt = -1;  // the share of the lecture at which the user cancels
    bool cancelThroughPump = false;  // a click the pump hands over, or at once
    bool pressAgain = false;  // 下 载 again at once, while the cancel unwinds
    double changeAt = -1;  // the share at which the lecture changes on the server
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
    figures_.lectures = std::clamp(options_.downloads / 8, 8, 200);
    for (int i = 0; i < figures_.lectures; ++i)
        lectures.add(ChaosLectures::randomSize(random_), chance(0.25));
    stored_.assign(size_t(figures_.lectures), std::nullopt);

    DownloadOptions engineOptions;
    engineOptions.durable = options_.durable;
    engineOptions.limits = limits();
    engine_ = std::make_unique<DownloadEngine>(engineOptions, racingClock());
    QObject::connect(engine_.get(), &DownloadEngine::progressed, engine_.get(),
                     [this](qint64 received, qint64 total, qint32) { progressed(received, total); });
    figures_.descriptorsBefore = openDescriptorCount();

    for (int i = 0; i < options_.downloads; ++i) {
        if (i == figures_.warmUpDownloads)
            figures_.residentAfterWarmUpKiB = residentKiB();
        changeBetweenDownloads();
        download(std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_));
    }
    figures_.residentAfterKiB = residentKiB();
    for (int lecture = 0; lecture < figures_.lectures; ++lecture) {
        if (!storedAsRecorded(lecture))
            violated(QStringLiteral("after the run, lecture %1 is not stored as its last stored start left it")
                         .arg(lecture));
    }
    checkFolder(std::nullopt);
    settle();

    if (!server_->waitUntilIdle(std::chrono::seconds(10)))
        violated(QStringLiteral("the server still has a connection open after the run"));
    figures_.descriptorsAfter = openDescriptorCount();
    if (figures_.descriptorsAfter != figures_.descriptorsBefore)
        violated(QStringLiteral("%1 file descriptors open after the run, %2 before")
                     .arg(figures_.descriptorsAfter)
                     .arg(figures_.descriptorsBefore));
    if (figures_.residentAfterKiB - figures_.residentAfterWarmUpKiB > kResidentGrowthKiB)
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
        press.cancelAt = std::uniform_real_distribution<double>(0.0, 1.0)(random_);
        press.cancelThroughPump = chance(0.5);
        press.pressAgain = presses_.empty() && chance(0.3);
    }
    if (!calm_ && chance(0.04))
        press.changeAt = std::uniform_real_distribution<double>(0.0, 1.0)(random_);
    if (!presses_.empty())
        ++figures_.pressedAgainAtOnce;

    const ChaosLectures& lectures = server_->lectures();
    const int versionBefore = lectures.current(lecture).version;
    const std::uint64_t continuedBefore = server_->counts().rangesContinued;
    presses_.push_back(&press);
    const bool stored = engine_->start(server_->url(lecture), target(lecture));
    presses_.pop_back();
    const DownloadResult result = engine_->lastResult();
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
    const double share = double(received) / double(total);
    if (press.changeAt >= 0 && share >= press.changeAt) {
        press.changeAt = -1;
        server_->lectures().change(press.lecture, ChaosLectures::randomSize(random_));
        ++figures_.changedOnServer;
        ++figures_.changedMidTransfer;
    }
    if (press.cancelAt < 0 || share < press.cancelAt)
        return;
    press.cancelAt = -1;
    // What the window's pump would hand over while this press runs: only
    // this press is cancelled, and pressed again, by them.
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

void DownloadSoak::changeBetweenDownloads()
{
    ChaosLectures& lectures = server_->lectures();
    const int lecture = std::uniform_int_distribution<int>(0, figures_.lectures - 1)(random_);
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
        if (served.present && !lectures.fileMatches(target(lecture), lecture, served.version))
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
            if (server_->lectures().fileMatches(target(lecture), lecture, v))
                version = v;
        }
        if (version)
            stored_[size_t(lecture)] = version;
        else
            violated(QStringLiteral("%1 stored %2 bytes that are no whole version of the lecture (%3 bytes now)")
                         .arg(where)
                         .arg(QFileInfo(target(lecture)).size())
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
    const std::optional<int> version = stored_[size_t(lecture)];
    return version ? server_->lectures().fileMatches(target(lecture), lecture, *version)
                   : !QFileInfo::exists(target(lecture));
}

void DownloadSoak::checkFolder(std::optional<int> pressedLecture)
{
    const QDir folder(options_.folder);
    const QStringList hidden =
        folder.entryList({kPartialPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    std::map<QByteArray, int> partialsByName;
    for (const QString& name : hidden) {
        const bool partial = name.endsWith(QStringLiteral(".partial"));
        const QString base = name.section(u'.', 0, -2);
        if (!partial && !name.endsWith(QStringLiteral(".resume"))) {
            violated(QStringLiteral("a leftover %1 in the folder").arg(name));
            continue;
        }
        const QString partner = base + (partial ? QStringLiteral(".resume") : QStringLiteral(".partial"));
        if (!hidden.contains(partner)) {
            violated(QStringLiteral("%1 without its %2").arg(name, partner));
            continue;
        }
        if (!partial)
            continue;
        const std::map<QByteArray, QByteArray> record = readRecord(folder.filePath(partner));
        const QByteArray lectureName = record.count("name") ? record.at("name") : QByteArray();
        if (++partialsByName[lectureName] > 1)
            violated(QStringLiteral("more than one partial file for %1").arg(QString::fromUtf8(lectureName)));
        const QString targetName = QFile::decodeName(lectureName);
        const int lecture = targetName.section(u'.', 0, 0).mid(1).toInt();
        if (!pressedLecture || targetName != QFileInfo(target(*pressedLecture)).fileName())
            continue;
        // The kept bytes of the lecture just pressed: the first bytes of the
        // version their record names, never a mix.
        const QByteArray validator = record.count("validator") ? record.at("validator") : QByteArray();
        const std::optional<int> version = server_->lectures().versionOf(lecture, validator);
        if (!version || !server_->lectures().fileMatches(folder.filePath(name), lecture, *version, true))
            violated(QStringLiteral("after start %1 the kept bytes of lecture %2 (%3 bytes, validator %4) are not "
                                    "the start of that version")
                         .arg(figures_.starts)
                         .arg(lecture)
                         .arg(QFileInfo(folder.filePath(name)).size())
                         .arg(QString::fromLatin1(validator)));
    }
}

void DownloadSoak::violated(const QString& what)
{
    if (++figures_.violationCount <= kViolationsKept)
        figures_.violations << what;
}

QString DownloadSoak::target(int lecture) const
{
    return options_.folder + QStringLiteral("/L%1.讲座.zip").arg(lecture);
}

bool DownloadSoak::chance(double probability)
{
    return std::bernoulli_distribution(probability)(random_);
}
