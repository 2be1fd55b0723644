#include "support/RecordingHost.h"

RecordingHost::RecordingHost(int answerGiven)
    : answer(answerGiven),
      replacements_(platform::HostReplacements{
          [this](const QString& prompt, int style) {
              messages.push_back({prompt, style});
              return answer;
          },
          [this] { ++endings; },
          [this](const QString& address) { browserAddresses.append(address); },
      })
{
}
