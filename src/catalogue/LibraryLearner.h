// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"
#include "format/KeptText.h"
#include "format/LibraryIndex.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class KeptLibrary;
class TextFetch;

namespace platform {
class NetworkAccess;
}  // namespace platform

// Learns every lecture of the library, so that one search finds a lecture
// of any conference: from the library's index in one request when it has
// one, and otherwise from each conference's lecture list, at most
// kListsAtOnce at a time on the network core (its connections kept alive),
// the newest conference first. Each text is kept as read (KeptLibrary) and
// asked for again only if it changed; without the library, what was kept
// is what is learnt. Nothing waits: the texts come while the window goes
// on, and progressed() says how far it is.
class LibraryLearner : public QObject {
    Q_OBJECT

public:
    static constexpr int kListsAtOnce = 4;
    static inline const QString kIndexName = QStringLiteral("library-index.txt");

    // kept: where the texts are kept; none keeps nothing.
    LibraryLearner(platform::NetworkAccess& network, const StoredAddresses& addresses, KeptLibrary* kept,
                   QObject* parent = nullptr);
    ~LibraryLearner() override;

    // Learns the library of these conference lines, replacing a learning
    // under way; offline, from the kept copies alone.
    void learn(const QStringList& conferenceLines, bool offline);

signals:
    // Lists read of those to read, while the library has no index.
    void progressed(int listsRead, int listsInAll);
    // The whole library as learnt: every conference of the catalogue, with
    // the lectures of those whose list could be read or was kept.
    void learnt(const LibraryIndex& library);

private:
    struct ListRead {
        QString name;
        QStringList conferences;  // the lines that lead to this list
        std::unique_ptr<TextFetch> fetch;
        bool done = false;
        QStringList lectures;
    };

    QString listAddress(const QString& listName) const;
    void indexCopyRead(std::optional<KeptText> kept);
    void indexRead(const QString& text);
    void learnFromLists();
    void startNextLists();
    void listCopyRead(ListRead& list, std::optional<KeptText> kept);
    void listRead(ListRead& list, const QString& text, const std::optional<KeptText>& kept);
    void finishFromLists();

    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    KeptLibrary* kept_;
    QStringList conferenceLines_;
    bool offline_ = false;
    // Counts the learnings: what comes for one replaced is dropped.
    quint64 learning_ = 0;
    std::unique_ptr<TextFetch> indexFetch_;
    // Newest conference first; each list once, however many lines lead to it.
    QList<std::shared_ptr<ListRead>> lists_;
    int started_ = 0;
    int finished_ = 0;
};
