// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"
#include "format/KeptText.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class KeptLibrary;
class PageModel;
class QWidget;
class TextFetch;
class ViewSwitcher;

namespace platform {
class NetworkAccess;
}  // namespace platform

// 进 入 on a conference of the catalogue: reads the lecture list its own
// line names, while the window goes on. Its row says "读取中" meanwhile,
// and another 进 入 replaces the read. The list kept from the last read is
// shown when the library cannot be reached (at once while the window is
// offline), and otherwise asked for only if it changed since. A list that
// cannot be read, with no copy kept, leaves everything as it was, with the
// network message.
class ConferenceNavigation : public QObject {
    Q_OBJECT

public:
    // window: the owner of the message box; kept: the lists kept, none for
    // none; isOffline: whether the window is without its library now.
    ConferenceNavigation(PageModel& model, ViewSwitcher& views, platform::NetworkAccess& network,
                         const StoredAddresses& addresses, KeptLibrary* kept, std::function<bool()> isOffline,
                         QWidget* window);
    ~ConferenceNavigation() override;

    // Enters the conference of that catalogue entry.
    void enterConference(int entry);

private:
    void keptCopyRead(const QString& listName, const QString& address, std::optional<KeptText> kept);
    void lectureListRead(const QString& address, const QString& text, const std::optional<KeptText>& kept);

    PageModel& model_;
    ViewSwitcher& views_;
    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    KeptLibrary* kept_;
    std::function<bool()> isOffline_;
    QWidget* window_;
    std::unique_ptr<TextFetch> listFetch_;
    // Counts the presses: the read of one replaced by another is dropped.
    quint64 presses_ = 0;
};
