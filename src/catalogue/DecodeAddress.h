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
// Like the original routine it rebuilds the variable passed in, so that it
// holds the decoded text afterwards; callers pass a scratch copy. On error
// the variable is left as it was and AddressDecodeError is thrown: never
// half an address.
QString decodeAddress(QString& encoded);

// Decodes a stored list without touching it.
QString decodedCopy(const QString& stored);

// The inverse, for making a stored list from a plain address: each
// character's code combined with the key, in decimal, joined with ",".
// Characters outside code page 936, or that would not decode back to
// themselves, throw AddressDecodeError: whatever this returns decodes to
// the address it was made from.
QString encodeAddress(const QString& address);
