// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace platform {

// The session bus, reached on a worker thread. A process's first connection
// to its session bus holds whoever makes it for the daemon's authentication
// and its answer to Hello: a few milliseconds on a healthy desktop, but as
// long as a hung daemon keeps its socket open. (On X11, Qt's accessibility
// bridge and its global menu check make that connection on the window's
// thread as the window is built; this then finds it made.) Asked for before
// the connection is there, a use waits for it and runs once it has come, on
// this object's thread, in the order asked. Without a session bus nothing
// runs, and "kardelo.desktop" says why.
class SessionBus : public QObject {
    Q_OBJECT

public:
    explicit SessionBus(QObject* parent = nullptr);
    ~SessionBus() override;

    // Starts connecting; once, later calls do nothing.
    void start();
    bool isConnected() const { return connection_.isConnected(); }

    // Runs `use` with the connection now if it is there, otherwise once it
    // comes, unless `context` has gone by then.
    void whenConnected(QObject* context, std::function<void(const QDBusConnection&)> use);

signals:
    void connected();

private:
    void reached(const QDBusConnection& connection);

    // Named by no name: no connection until reached().
    QDBusConnection connection_{QString()};
    bool started_ = false;
};

}  // namespace platform
