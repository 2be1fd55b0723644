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
        int style;
    };

    explicit RecordingHost(int answer = platform::kAnswerOk);

    int answer;
    std::vector<Message> messages;
    int endings = 0;
    QStringList browserAddresses;

private:
    platform::ScopedHostReplacements replacements_;
};
