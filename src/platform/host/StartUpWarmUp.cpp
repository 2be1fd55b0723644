// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/StartUpWarmUp.h"

#include "format/TextCodec.h"
#include "platform/net/CurlRequest.h"

#include <fontconfig/fontconfig.h>

namespace platform {

StartUpWarmUp::StartUpWarmUp()
    : thread_([] {
          initialiseCurlOnce();
          // The converter's tables are loaded once per process and shared
          // by every decoder made after.
          decodeCharset(QByteArrayLiteral("\xd6\xd0"), QStringLiteral("GB2312"));
          FcInit();
      })
{
}

StartUpWarmUp::~StartUpWarmUp()
{
    wait();
}

void StartUpWarmUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

}  // namespace platform
