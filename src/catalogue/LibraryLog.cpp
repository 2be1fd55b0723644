#include "catalogue/LibraryLog.h"

Q_LOGGING_CATEGORY(lcLibrary, "kardelo.library", QtWarningMsg)
