#pragma once

#include <QString>

#include <memory>

class Form1;
struct StoredAddresses;

// The program's way in, once the application object exists: checks the
// version, loads the main window (which reads the catalogue) and shows it
// with the version in its caption. No window comes back when the start
// ended the program.
std::unique_ptr<Form1> StartProcedure(const StoredAddresses& addresses, const QString& programFolder);
