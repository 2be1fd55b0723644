#pragma once

#include <QString>

#include <optional>

struct StoredAddresses;

enum class StartOutcome {
    Continue,  // go on and bring up the main window
    Ended,     // the program has been ended
};

// The published version is the text before the first marker.
// No marker at all: no value.
std::optional<QString> PublishedVersionText(const QString& versionFileText);

// Whether the published version is newer than ours, both read by their
// leading number.
bool IsNewerThanOurs(const QString& publishedVersionText);

// Reads the version file; without the marker tells the user the network is
// unavailable and ends; with a newer version asks whether to get it now and,
// on Yes, opens the home page and ends.
StartOutcome RunVersionCheck(const StoredAddresses& addresses);
