// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/StartProcedure.h"

#include "KardeloVersion.h"
#include "info/VersionCheck.h"
#include "platform/host/SessionBus.h"
#include "shell/LibraryConnection.h"
#include "shell/MainWindow.h"

#include <QPointer>

StartProcedure::StartProcedure(const StoredAddresses& addresses, const QString& programFolder, QObject* parent)
    : QObject(parent),
      addresses_(addresses),
      programFolder_(programFolder)
{
}

StartProcedure::~StartProcedure() = default;

MainWindow* StartProcedure::window() const
{
    return shown_ ? window_.get() : nullptr;
}

void StartProcedure::start()
{
    window_ = std::make_unique<MainWindow>(addresses_, programFolder_);
    MainWindow* window = window_.get();
    // Offered only before the window opens: a newer version found while the
    // library is reached again later waits for the next start, rather than
    // interrupting a lecture. The start waits for the answer with the
    // catalogue held back, and goes on from the answer.
    connect(&window->library(), &LibraryConnection::versionRead, this, [this](const QString& published) {
        if (shown_)
            return;
        window_->library().holdCatalogue();
        offerNewerVersion(published, addresses_, [self = QPointer(this)](StartOutcome outcome) {
            if (!self || !self->window_)
                return;
            if (outcome == StartOutcome::Ended)
                self->end();
            else
                self->window_->library().readHeldCatalogue();
        });
    });
    connect(window, &MainWindow::opened, this, [this, window] {
        window->setWindowTitle(window->windowTitle() + u' ' + kReleaseStamp);
        window->show();
        shown_ = true;
        // Once the window is up: neither its building nor its first frame
        // waits for the session bus.
        window->sessionBus().start();
        emit windowShown();
    });
    connect(window, &MainWindow::ended, this, &StartProcedure::end);
    window->loadAtStartUp();
}

void StartProcedure::end()
{
    // Called from inside the window's own signals: it goes once they return.
    if (window_) {
        window_->library().stop();
        window_.release()->deleteLater();
    }
    emit ended();
}
