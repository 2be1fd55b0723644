// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/RecordingHost.h"

#include <utility>

RecordingHost::RecordingHost(QMessageBox::StandardButton answerGiven)
    : answer(answerGiven),
      replacements_(platform::HostReplacements{
          [this](const QString& prompt, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                 platform::MessageAnswer answerBox) {
              messages.push_back({prompt, icon, buttons});
              if (holding_)
                  held_.push_back(std::move(answerBox));
              else
                  answerBox(answer);
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

void RecordingHost::answerHeld()
{
    holding_ = false;
    for (const platform::MessageAnswer& answerBox : std::exchange(held_, {}))
        answerBox(answer);
}
