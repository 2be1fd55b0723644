// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/files/FolderListing.h"

#include <QStringList>

// The entries behind the page: the lines of the catalogue and of the
// conference last entered, as read from the server, and the names of the
// stored lectures the favourites view shows. Read past the end with
// value(), which gives an empty text, as every reader expects.
struct PageEntries {
    QStringList conferenceLines;
    QStringList lectureLines;
    QStringList favouriteNames;
    // The favourites folder's *.zip files, in name order.
    platform::FolderListing favouritesListing;
};
