// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The server addresses, held only as encoded number lists and decoded with
// decodeAddress just before each use.
struct StoredAddresses {
    QString catalogue;  // the catalogue file
    QString conferenceListBase;  // folder of the per-conference lecture lists
    QString versionFile;  // the version file checked at start
    QString homePage;  // the home page
    QString helpPage;  // the operating instructions
    QString phoneEdition;  // the phone edition's download page
};

// The lists this build was made for.
const StoredAddresses& builtInAddresses();
