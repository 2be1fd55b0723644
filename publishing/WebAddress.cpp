// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/WebAddress.h"

#include <QUrl>

bool isAbsoluteWebAddress(const QString& address)
{
    const QUrl url(address);
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

bool isLibraryRoot(const QString& address)
{
    const QUrl url(address);
    return isAbsoluteWebAddress(address) && url.path().endsWith(u'/') && !url.hasQuery() && !url.hasFragment();
}
