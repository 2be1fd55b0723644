// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <memory>

class MainWindow;
struct StoredAddresses;

// The program's way in, once the application object exists: checks the
// version, loads the main window (which reads the catalogue) and shows it
// with the version in its title. No window comes back when the start
// ended the program.
std::unique_ptr<MainWindow> runStartProcedure(const StoredAddresses& addresses, const QString& programFolder);
