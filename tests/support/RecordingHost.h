// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/host/HostOperations.h"

#include <QString>
#include <QStringList>

#include <vector>

// Stands in for the user and the process around a test: answers message
// boxes with a fixed answer, records every box, every ending of the program
// and every address handed to the browser.
class RecordingHost {
public:
    struct Message {
        QString prompt;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    explicit RecordingHost(QMessageBox::StandardButton answer = QMessageBox::Ok);

    // The prompts of the boxes shown, in order.
    QStringList prompts() const;

    QMessageBox::StandardButton answer;
    std::vector<Message> messages;
    int endings = 0;
    QStringList browserAddresses;

private:
    platform::ScopedHostReplacements replacements_;
};
