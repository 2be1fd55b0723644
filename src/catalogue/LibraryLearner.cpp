// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/LibraryLearner.h"

#include "catalogue/KeptLibrary.h"
#include "catalogue/TextFetch.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "format/LectureListName.h"
#include "format/LibraryLog.h"
#include "format/TextCodec.h"

#include <QHash>

#include <algorithm>
#include <utility>

LibraryLearner::LibraryLearner(platform::NetworkAccess& network, const StoredAddresses& addresses, KeptLibrary* kept,
                               QObject* parent)
    : QObject(parent),
      network_(network),
      addresses_(addresses),
      kept_(kept)
{
}

LibraryLearner::~LibraryLearner() = default;

QString LibraryLearner::listAddress(const QString& listName) const
{
    return builtInAddress(addresses_.conferenceListBase) + listName;
}

void LibraryLearner::learn(const QStringList& conferenceLines, bool offline)
{
    const quint64 learning = ++learning_;
    conferenceLines_ = conferenceLines;
    offline_ = offline;
    indexFetch_.reset();
    lists_.clear();
    if (!kept_) {
        indexCopyRead(std::nullopt);
        return;
    }
    kept_->read(kIndexName, listAddress(kIndexName), [this, learning](std::optional<KeptText> kept) {
        if (learning == learning_)
            indexCopyRead(std::move(kept));
    });
}

void LibraryLearner::indexCopyRead(std::optional<KeptText> kept)
{
    if (offline_) {
        indexRead(kept ? bytesToText(kept->body, kServerCharset) : QString());
        return;
    }
    indexFetch_ = std::make_unique<TextFetch>(network_, listAddress(kIndexName), kServerCharset, nullptr,
                                              platform::NetworkLimits{}, std::move(kept));
    connect(indexFetch_.get(), &TextFetch::cameAnew, this, [this](const KeptText& text) {
        if (kept_)
            kept_->keep(kIndexName, text);
    });
    connect(indexFetch_.get(), &TextFetch::finished, this, &LibraryLearner::indexRead);
}

void LibraryLearner::indexRead(const QString& text)
{
    if (indexFetch_)
        indexFetch_.release()->deleteLater();
    if (!text.isEmpty()) {
        const LibraryIndexReading reading = parseLibraryIndex(text);
        if (reading.ok()) {
            emit learnt(reading.index);
            return;
        }
        qCWarning(lcLibrary) << "not using the library's index, line" << reading.line << "-" << reading.error;
    }
    // A library without an index (an older publisher's tool) is learnt list
    // by list.
    learnFromLists();
}

void LibraryLearner::learnFromLists()
{
    QHash<QString, std::shared_ptr<ListRead>> byName;
    for (const QString& line : std::as_const(conferenceLines_)) {
        const std::optional<QString> name = conferenceListFileName(line);
        if (!name)
            continue;
        std::shared_ptr<ListRead>& list = byName[*name];
        if (!list) {
            list = std::make_shared<ListRead>();
            list->name = *name;
            lists_.append(list);
        }
        list->conferences.append(line);
    }
    // The newest conference first: its date leads its list's name.
    std::stable_sort(lists_.begin(), lists_.end(), [](const auto& a, const auto& b) { return a->name > b->name; });
    started_ = 0;
    finished_ = 0;
    emit progressed(0, static_cast<int>(lists_.size()));
    if (lists_.isEmpty())
        finishFromLists();
    else
        startNextLists();
}

void LibraryLearner::startNextLists()
{
    while (started_ < lists_.size() && started_ - finished_ < kListsAtOnce) {
        const std::shared_ptr<ListRead> list = lists_[started_++];
        const quint64 learning = learning_;
        if (!kept_) {
            listCopyRead(*list, std::nullopt);
            continue;
        }
        kept_->read(list->name, listAddress(list->name), [this, learning, list](std::optional<KeptText> kept) {
            if (learning == learning_)
                listCopyRead(*list, std::move(kept));
        });
    }
}

void LibraryLearner::listCopyRead(ListRead& list, std::optional<KeptText> kept)
{
    if (offline_) {
        listRead(list, QString(), kept);
        return;
    }
    list.fetch = std::make_unique<TextFetch>(network_, listAddress(list.name), kServerCharset, nullptr,
                                             platform::NetworkLimits{}, kept);
    connect(list.fetch.get(), &TextFetch::cameAnew, this, [this, name = list.name](const KeptText& text) {
        if (kept_)
            kept_->keep(name, text);
    });
    connect(list.fetch.get(), &TextFetch::finished, this,
            [this, &list, kept](const QString& text) { listRead(list, text, kept); });
}

void LibraryLearner::listRead(ListRead& list, const QString& text, const std::optional<KeptText>& kept)
{
    if (list.fetch)
        list.fetch.release()->deleteLater();
    splitAndKeep(text, list.lectures);
    // Not there now: what was kept of it is what the listener can find.
    if (list.lectures.isEmpty() && kept)
        splitAndKeep(bytesToText(kept->body, kServerCharset), list.lectures);
    list.done = true;
    ++finished_;
    emit progressed(finished_, static_cast<int>(lists_.size()));
    if (finished_ == lists_.size())
        finishFromLists();
    else
        startNextLists();
}

void LibraryLearner::finishFromLists()
{
    QHash<QString, const ListRead*> listOf;
    for (const auto& list : std::as_const(lists_)) {
        for (const QString& line : list->conferences)
            listOf.insert(line, list.get());
    }
    LibraryIndex library;
    for (const QString& line : std::as_const(conferenceLines_)) {
        const ListRead* list = listOf.value(line);
        library.conferences.append({line, list ? list->lectures : QStringList()});
    }
    lists_.clear();
    emit learnt(library);
}
