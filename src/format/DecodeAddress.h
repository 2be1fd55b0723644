// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <stdexcept>

// A stored address list that does not decode: a piece that is no number, or
// a code that names no character.
class AddressDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Turns an encoded address (decimal numbers joined by ",") into its text.
// A list that does not decode throws AddressDecodeError: never half an
// address.
QString decodeAddress(const QString& encoded);

// One of the lists this program was built with (StoredAddresses), decoded.
// The build makes them from the configured root and refuses a root it
// cannot encode, so they always decode; a list given some other way that
// does not is logged as the defect it is, and gives an empty address, which
// reads nothing and opens nothing.
QString builtInAddress(const QString& stored);

// The inverse, for making a stored list from a plain address: each
// character's code combined with the key, in decimal, joined with ",".
// Characters outside code page 936, or that would not decode back to
// themselves, throw AddressDecodeError: whatever this returns decodes to
// the address it was made from.
QString encodeAddress(const QString& address);
