// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QObject>
#include <QString>

#include <memory>

class MainWindow;

// The program's way in, once the application object exists: makes the main
// window, which reads the version file (a newer version is offered here,
// before anything else) and the catalogue, and shows it with the version in
// its title: on the catalogue, or on the favourites when the library cannot
// be reached and lectures are stored. Nothing in it waits: it is driven by
// the event loop (while the user is asked about a newer version, the start
// is held until the answer comes), and says how it ended by a signal.
class StartProcedure : public QObject {
    Q_OBJECT

public:
    StartProcedure(const StoredAddresses& addresses, const QString& programFolder, QObject* parent = nullptr);
    ~StartProcedure() override;

    void start();
    // The window, once shown; null before, and after the start ended the
    // program.
    MainWindow* window() const;

signals:
    void windowShown();
    // The start ended the program (no library and nothing stored, or the
    // user went for the newer version).
    void ended();

private:
    void end();

    StoredAddresses addresses_;
    QString programFolder_;
    std::unique_ptr<MainWindow> window_;
    bool shown_ = false;
};
