// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ServerAddresses.h"

#include "format/DecodeAddress.h"
#include "support/TestHttpServer.h"

StoredAddresses addressesFor(const TestHttpServer& server)
{
    return addressesForRoot(server.url("/"));
}

StoredAddresses addressesForRoot(const QString& root)
{
    StoredAddresses addresses;
    addresses.catalogue = encodeAddress(root + "lists/catalogue.txt");
    addresses.conferenceListBase = encodeAddress(root + "lists/");
    addresses.versionFile = encodeAddress(root + "version.txt");
    addresses.homePage = encodeAddress(root);
    addresses.helpPage = encodeAddress(root + "help.html");
    addresses.phoneEdition = encodeAddress(root + "android.html");
    return addresses;
}
