// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QObject>
#include <QString>

#include <memory>

class PageModel;
class QWidget;
class TextFetch;
class ViewSwitcher;

namespace platform {
class NetworkAccess;
}  // namespace platform

// 进 入 on a conference of the catalogue: reads the lecture list its own
// line names, while the window goes on. Its row says "读取中" meanwhile,
// and another 进 入 replaces the read. A list that cannot be read leaves
// everything as it was, with the network message.
class ConferenceNavigation : public QObject {
    Q_OBJECT

public:
    // window: the owner of the message box.
    ConferenceNavigation(PageModel& model, ViewSwitcher& views, platform::NetworkAccess& network,
                         const StoredAddresses& addresses, QWidget* window);
    ~ConferenceNavigation() override;

    // Enters the conference of that catalogue entry.
    void enterConference(int entry);

private:
    void lectureListRead(const QString& address, const QString& text);

    PageModel& model_;
    ViewSwitcher& views_;
    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    QWidget* window_;
    std::unique_ptr<TextFetch> listFetch_;
};
