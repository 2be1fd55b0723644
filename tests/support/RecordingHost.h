// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/host/HostOperations.h"

#include <QString>
#include <QStringList>

#include <vector>

// Stands in for the user and the process around a test: answers message
// boxes with a fixed answer, at once or, while holding, when told to;
// records every box, every ending of the program and every address handed
// to the browser.
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
    // The boxes shown from now on wait, open, for answerHeld().
    void holdAnswers() { holding_ = true; }
    std::size_t heldAnswers() const { return held_.size(); }
    // Answers the boxes held, in the order shown, and those to come at once.
    void answerHeld();

    QMessageBox::StandardButton answer;
    std::vector<Message> messages;
    int endings = 0;
    QStringList browserAddresses;

private:
    bool holding_ = false;
    std::vector<platform::MessageAnswer> held_;
    platform::ScopedHostReplacements replacements_;
};
