// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The lectures a ChaosServer offers. Each has versions: a change makes a
// new one, with bytes of its own, perhaps another size, and a validator of
// its own; a removal leaves it answering 404. A version's bytes are made
// from its number, never kept, so a lecture of any size and any number of
// versions costs no memory and can be compared with a file at any time.
// Safe to use from the server's threads and the caller's at once.
class ChaosLectures {
public:
    // One version as it is served.
    struct Served {
        bool present = false;  // false once the lecture is removed
        int version = 0;
        std::int64_t size = 0;
        std::string validatorHeader;  // "ETag" or "Last-Modified"
        std::string validator;
    };

    // A lecture whose validator is an ETag, or with dated, its
    // Last-Modified date. Returns its number, from 0.
    int add(std::int64_t size, bool dated);
    // A new version, of newSize bytes.
    void change(int lecture, std::int64_t newSize);
    void remove(int lecture);

    int count() const;
    // The version served now; the last one when it has been removed.
    Served current(int lecture) const;
    std::int64_t size(int lecture, int version) const;
    // Which version of the lecture a validator belongs to.
    std::optional<int> versionOf(int lecture, const QByteArray& validator) const;

    // The bytes of a version from offset on, into out.
    static void fill(int lecture, int version, std::int64_t offset, char* out, std::size_t size);
    // Whether the file at path holds exactly the version's bytes
    // (prefixOnly: its first bytes, any number of them).
    bool fileMatches(const QString& path, int lecture, int version, bool prefixOnly = false) const;

    // A size from 1 byte to 4 MiB, as many of each order of magnitude.
    static std::int64_t randomSize(std::mt19937_64& random);

    // "/lectures/<n>.zip", the path the server answers a lecture at.
    static std::string path(int lecture);
    static std::optional<int> lectureOfPath(const std::string& path);

private:
    struct Lecture {
        std::vector<std::int64_t> sizes;  // by version
        bool dated = false;
        bool present = true;
    };
    std::string validator(int lecture, int version) const;

    mutable std::mutex mutex_;
    std::vector<Lecture> lectures_;
};
