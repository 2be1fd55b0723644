// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RecordingHost.h"

RecordingHost::RecordingHost(QMessageBox::StandardButton answerGiven)
    : answer(answerGiven),
      replacements_(platform::HostReplacements{
          [this](const QString& prompt, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
              messages.push_back({prompt, icon, buttons});
              return answer;
          },
          [this] { ++endings; },
          [this](const QString& address) { browserAddresses.append(address); },
      })
{
}

QStringList RecordingHost::prompts() const
{
    QStringList shown;
    for (const Message& message : messages)
        shown << message.prompt;
    return shown;
}
