#include "support/ServerAddresses.h"

#include "catalogue/DecodeAddress.h"
#include "support/TestHttpServer.h"

StoredAddresses AddressesFor(const TestHttpServer& server)
{
    const QString root = server.url("/");
    StoredAddresses addresses;
    addresses.catalogue = EncodeAddress(root + "lists/catalogue.txt");
    addresses.conferenceListBase = EncodeAddress(root + "lists/");
    addresses.versionFile = EncodeAddress(root + "version.txt");
    addresses.homePage = EncodeAddress(root);
    addresses.helpPage = EncodeAddress(root + "help.html");
    addresses.phoneEdition = EncodeAddress(root + "android.html");
    return addresses;
}
