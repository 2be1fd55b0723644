// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/StartProcedure.h"

#include "KardeloVersion.h"
#include "info/VersionCheck.h"
#include "shell/LibraryConnection.h"
#include "shell/MainWindow.h"

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
    // interrupting a lecture.
    connect(&window->library(), &LibraryConnection::versionRead, this, [this](const QString& published) {
        if (!shown_ && offerNewerVersion(published, addresses_) == StartOutcome::Ended)
            end();
    });
    connect(window, &MainWindow::opened, this, [this, window] {
        window->setWindowTitle(window->windowTitle() + u' ' + kReleaseStamp);
        window->show();
        shown_ = true;
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
