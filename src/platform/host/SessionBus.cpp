// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/SessionBus.h"

#include "platform/host/DesktopLog.h"

#include <QDBusError>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <memory>
#include <utility>

namespace platform {

SessionBus::SessionBus(QObject* parent) : QObject(parent) { }

SessionBus::~SessionBus() = default;

void SessionBus::start()
{
    if (std::exchange(started_, true))
        return;
    // Qt keeps one session bus connection for the whole process and hands
    // it to any thread; only making it waits, and that wait is the worker's.
    // Gone before the answer, this object drops it with its watcher.
    auto* watcher = new QFutureWatcher<QDBusConnection>(this);
    connect(watcher, &QFutureWatcher<QDBusConnection>::finished, this, [this, watcher] {
        watcher->deleteLater();
        reached(watcher->result());
    });
    auto promise = std::make_shared<QPromise<QDBusConnection>>();
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise] {
        promise->addResult(QDBusConnection::sessionBus());
        promise->finish();
    });
}

void SessionBus::whenConnected(QObject* context, std::function<void(const QDBusConnection&)> use)
{
    if (isConnected()) {
        use(connection_);
        return;
    }
    connect(
        this, &SessionBus::connected, context, [this, use = std::move(use)] { use(connection_); },
        Qt::SingleShotConnection);
}

void SessionBus::reached(const QDBusConnection& connection)
{
    if (!connection.isConnected()) {
        qCWarning(lcDesktop) << "no session bus: no media keys, no screen saver hold, no notifications -"
                             << connection.lastError().message();
        return;
    }
    connection_ = connection;
    emit connected();
}

}  // namespace platform
