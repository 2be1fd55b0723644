// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/ScreenSaverInhibition.h"

#include "platform/host/DesktopLog.h"
#include "platform/host/SessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

QDBusMessage screenSaverCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

void unInhibit(QDBusConnection bus, uint cookie)
{
    QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
    call << cookie;
    // Its answer holds nothing to act on. Were the message lost, the
    // service still drops the hold once this process leaves the bus.
    if (!bus.send(call))
        qCWarning(lcDesktop) << "could not release the screen saver hold" << cookie;
}

}  // namespace

ScreenSaverInhibition::ScreenSaverInhibition(QString applicationName, SessionBus& bus, QObject* parent)
    : QObject(parent),
      applicationName_(std::move(applicationName))
{
    bus.whenConnected(this, [this](const QDBusConnection& connection) {
        bus_ = connection;
        if (wanted_)
            ask();
    });
}

ScreenSaverInhibition::~ScreenSaverInhibition()
{
    release();
}

void ScreenSaverInhibition::hold(const QString& reason)
{
    wanted_ = true;
    reason_ = reason;
    if (cookie_ || asking_ || !bus_.isConnected())
        return;
    ask();
}

void ScreenSaverInhibition::ask()
{
    asking_ = true;
    QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
    call << applicationName_ << reason_;
    // Parented to the application, not to this object: an answer that
    // comes after this object has gone still has its hold let go.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), QCoreApplication::instance());
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, bus = bus_, self = QPointer(this)] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        const std::optional<uint> cookie = reply.isError() ? std::nullopt : std::optional(reply.value());
        if (self)
            self->answered(cookie, reply.error().message());
        else if (cookie)
            unInhibit(bus, *cookie);
    });
}

void ScreenSaverInhibition::release()
{
    wanted_ = false;
    if (cookie_)
        unInhibit(bus_, *std::exchange(cookie_, std::nullopt));
}

void ScreenSaverInhibition::answered(std::optional<uint> cookie, const QString& error)
{
    asking_ = false;
    if (!cookie) {
        if (!std::exchange(failureLogged_, true))
            qCWarning(lcDesktop) << "the screen saver cannot be held off:" << error;
        return;
    }
    if (wanted_)
        cookie_ = cookie;
    else
        unInhibit(bus_, *cookie);
}

}  // namespace platform
