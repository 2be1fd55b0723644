// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/VirtualDisplay.h"

#include <QStandardPaths>

namespace {

constexpr int kGuardMs = 30'000;

}  // namespace

VirtualDisplay::VirtualDisplay()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        whyNot_ = QStringLiteral("Xvfb or xdotool is not installed (apt-get install xvfb xdotool)");
        return;
    }
    // It writes the number of the display it found free to descriptor 1.
    server_.start(xvfb,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && server_.waitForReadyRead(kGuardMs))
        number += server_.readAllStandardOutput();
    if (number.contains('\n'))
        name_ = u':' + QString::fromLatin1(number.trimmed());
    else
        whyNot_ = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(server_.readAllStandardError());
}

VirtualDisplay::~VirtualDisplay()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(kGuardMs))
        server_.kill();
}

bool VirtualDisplay::xdotool(const QStringList& arguments, QByteArray* output) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), name_);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    const bool worked =
        tool.waitForFinished(kGuardMs) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (output)
        *output = tool.readAllStandardOutput();
    return worked;
}
