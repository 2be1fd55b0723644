// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>

class LibraryConnection;

// Whether the window has its library: opening on the catalogue, opening
// offline on the stored lectures, ending when there is neither, and finding
// the library again. It decides, and says by its signals what the window is
// to show; it touches no widget, so the window only shows its state.
class LibraryAvailability : public QObject {
    Q_OBJECT

public:
    // With lectures stored, a start waits this long for each text of the
    // library before it opens on them.
    static constexpr std::chrono::seconds kOfflineAfter{10};
    // The notice while the library is being reached again at the user's
    // request.
    static inline const QString kReconnectingMessage = QStringLiteral("正在连接服务器……");
    // The notice while the catalogue shown is the copy kept from the last
    // time the library was read.
    static inline const QString kKeptLibraryMessage = QStringLiteral("网络暂时无法链接，显示的是上次保存的目录");

    // hasStoredLectures is asked at each decision, as downloads and deletes
    // change the answer.
    LibraryAvailability(LibraryConnection& library, std::function<bool()> hasStoredLectures, QObject* parent = nullptr);
    ~LibraryAvailability() override;

    // Reads the library; opens offline at once when lectures are stored and
    // the system says there is no network, otherwise once the library has
    // failed, or not answered within kOfflineAfter.
    void start();

    // Whether the window has opened, and whether it has done so without the
    // library (until the library is reached again).
    bool hasOpened() const { return opened_; }
    bool isOffline() const { return offline_; }
    // What the window says of the library; empty while it has it.
    const QString& notice() const { return notice_; }

    // The user chose the catalogue: true when it can be shown now.
    // Otherwise the library is asked for at once rather than at the next
    // try, and the catalogue comes by reconnected() if it is found.
    bool catalogueAsked();

signals:
    // The window opens on the catalogue's first page.
    void openedOnCatalogue(const QStringList& conferenceLines);
    // The window opens without the library: on the kept catalogue's lines
    // when there are any, and on the stored lectures otherwise (or when it
    // has some); the notice says why first.
    void openedOffline(const QStringList& keptConferenceLines);
    // The library was reached again after an offline opening: the catalogue
    // is there to choose, and shown now only if the user asked for it.
    void reconnected(const QStringList& conferenceLines, bool userAskedForCatalogue);
    void noticeChanged(const QString& notice);
    // Neither the library nor a stored lecture: the start can only end.
    void unreachableWithNothingStored();

private:
    void catalogueRead(const QStringList& conferenceLines);
    void readFailed();
    void openOffline();
    // Whether there is anything to open on without the library.
    bool canOpenOffline() const;
    void keptCatalogueRead();
    void setNotice(const QString& notice);

    LibraryConnection& library_;
    std::function<bool()> hasStoredLectures_;
    // How long a start waits for an answer before opening offline.
    QTimer offlineTimer_;
    QString notice_;
    bool opened_ = false;
    bool offline_ = false;
    // The user chose the catalogue while it could not be shown.
    bool catalogueWanted_ = false;
    // The library failed before its kept copy was read: the decision waits
    // for it.
    bool failedBeforeKeptCopy_ = false;
};
