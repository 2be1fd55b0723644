#include "platform/net/NetLog.h"

Q_LOGGING_CATEGORY(lcNet, "kardelo.net", QtWarningMsg)
