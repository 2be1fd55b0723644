// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/PrivateSoundServer.h"

#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr auto kSinkName = "capture";

}  // namespace

PrivateSoundServer::PrivateSoundServer() : previousServer_(qgetenv("PULSE_SERVER"))
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
        failure_ = QStringLiteral("pulseaudio and parec are not installed (pulseaudio, pulseaudio-utils)");
        return;
    }
    const QString socket = folder_.filePath(QStringLiteral("native"));
    QFile script(folder_.filePath(QStringLiteral("server.pa")));
    if (!script.open(QIODevice::WriteOnly)) {
        failure_ = script.errorString();
        return;
    }
    script.write(QStringLiteral("load-module module-null-sink sink_name=%1\n"
                                "load-module module-native-protocol-unix socket=%2 auth-anonymous=1\n"
                                "set-default-sink %1\n")
                     .arg(QLatin1String(kSinkName), socket)
                     .toUtf8());
    script.close();

    // Everything it keeps stays in the test's folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "XDG_CONFIG_HOME"})
        environment.insert(QString::fromLatin1(name), folder_.path());
    server_.setProcessEnvironment(environment);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(program,
                  {QStringLiteral("-n"), QStringLiteral("-F"), script.fileName(), QStringLiteral("--daemonize=no"),
                   QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                   QStringLiteral("--log-level=error")});
    if (!server_.waitForStarted()) {
        failure_ = server_.errorString();
        return;
    }
    for (int tries = 0; tries < 100 && !QFile::exists(socket); ++tries)
        QThread::msleep(50);
    if (!QFile::exists(socket)) {
        failure_ = QStringLiteral("pulseaudio did not open its socket");
        return;
    }
    qputenv("PULSE_SERVER", QByteArray("unix:") + QFile::encodeName(socket));
    recorder_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
}

PrivateSoundServer::~PrivateSoundServer()
{
    recorder_.kill();
    recorder_.waitForFinished();
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
    if (previousServer_.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", previousServer_);
}

void PrivateSoundServer::startRecording()
{
    recorder_.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=%1.monitor").arg(QLatin1String(kSinkName)),
                     QStringLiteral("--rate=%1").arg(kSampleRate), QStringLiteral("--channels=1"),
                     QStringLiteral("--format=s16le"), QStringLiteral("--latency-msec=20")});
    recorder_.waitForStarted();
}

QList<qint16> PrivateSoundServer::stopRecording()
{
    recorder_.terminate();
    recorder_.waitForFinished();
    const QByteArray bytes = recorder_.readAllStandardOutput();
    QList<qint16> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(qint16));
    return samples;
}

int dominantFrequency(const QList<qint16>& samples, int sampleRate, int low, int high)
{
    // The loud part: the player's own start and end are silence.
    const auto loud = [](qint16 sample) { return std::abs(sample) > 200; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    const qsizetype window = sampleRate / 2;
    if (first >= last || last - first < window)
        return 0;
    const auto start = first + (last - first - window) / 2;

    // Goertzel's filter at each whole frequency: a DFT bin where it is wanted.
    int best = 0;
    double bestPower = -1;
    for (int frequency = low; frequency <= high; ++frequency) {
        const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / sampleRate);
        double previous = 0;
        double beforePrevious = 0;
        for (auto it = start; it != start + window; ++it) {
            const double current = *it + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power =
            previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
        if (power > bestPower) {
            bestPower = power;
            best = frequency;
        }
    }
    return best;
}
