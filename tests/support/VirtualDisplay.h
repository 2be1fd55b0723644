// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// An X display of the test's own (Xvfb, on a display number it picks), for
// the built program to show its window on, and xdotool to type on it as a
// user would. Not there when either is not installed.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool isUp() const { return !name_.isEmpty(); }
    QString whyNotUp() const { return whyNot_; }
    // As DISPLAY names it: ":N".
    QString name() const { return name_; }
    // Runs xdotool on the display: whether it succeeded, and what it printed.
    bool xdotool(const QStringList& arguments, QByteArray* output = nullptr) const;

private:
    QProcess server_;
    QString name_;
    QString whyNot_;
};
