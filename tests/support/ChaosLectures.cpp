// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/ChaosLectures.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace {

std::uint64_t mixed(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace

int ChaosLectures::add(std::int64_t size, bool dated)
{
    std::lock_guard lock(mutex_);
    lectures_.push_back({{size}, dated, true});
    return int(lectures_.size()) - 1;
}

void ChaosLectures::change(int lecture, std::int64_t newSize)
{
    std::lock_guard lock(mutex_);
    lectures_.at(size_t(lecture)).sizes.push_back(newSize);
}

void ChaosLectures::remove(int lecture)
{
    std::lock_guard lock(mutex_);
    lectures_.at(size_t(lecture)).present = false;
}

int ChaosLectures::count() const
{
    std::lock_guard lock(mutex_);
    return int(lectures_.size());
}

ChaosLectures::Served ChaosLectures::current(int lecture) const
{
    std::lock_guard lock(mutex_);
    const Lecture& l = lectures_.at(size_t(lecture));
    const int version = int(l.sizes.size()) - 1;
    return {l.present, version, l.sizes.back(), l.dated ? "Last-Modified" : "ETag", validator(lecture, version)};
}

std::int64_t ChaosLectures::size(int lecture, int version) const
{
    std::lock_guard lock(mutex_);
    return lectures_.at(size_t(lecture)).sizes.at(size_t(version));
}

std::optional<int> ChaosLectures::versionOf(int lecture, const QByteArray& validator) const
{
    std::lock_guard lock(mutex_);
    const int versions = int(lectures_.at(size_t(lecture)).sizes.size());
    for (int version = 0; version < versions; ++version) {
        if (validator.toStdString() == this->validator(lecture, version))
            return version;
    }
    return std::nullopt;
}

std::string ChaosLectures::validator(int lecture, int version) const
{
    if (!lectures_.at(size_t(lecture)).dated)
        return '"' + std::to_string(lecture) + "-v" + std::to_string(version) + '"';
    // A day apart each, so every version has a date of its own.
    const std::time_t when = std::time_t(1700000000) + std::time_t(lecture) * 3600 + std::time_t(version) * 86400;
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

void ChaosLectures::fill(int lecture, int version, std::int64_t offset, char* out, std::size_t size)
{
    // Eight bytes of one hash per block of eight, keyed by lecture and
    // version, so a byte from another version or another place differs.
    const std::uint64_t key = mixed((std::uint64_t(lecture) << 32) | std::uint32_t(version));
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t at = offset + std::int64_t(done);
        const std::uint64_t block = mixed(key ^ std::uint64_t(at / 8));
        const int first = int(at % 8);
        const std::size_t n = std::min<std::size_t>(size - done, std::size_t(8 - first));
        for (std::size_t i = 0; i < n; ++i)
            out[done + i] = char((block >> (8 * (first + int(i)))) & 0xFF);
        done += n;
    }
}

bool ChaosLectures::fileMatches(const QString& path, int lecture, int version, bool prefixOnly) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 expectedSize = size(lecture, version);
    if (file.size() > expectedSize || (!prefixOnly && file.size() != expectedSize))
        return false;
    // Block by block, so a check of a large lecture holds no more memory
    // than a block.
    constexpr qint64 kBlock = 64 * 1024;
    QByteArray expected(kBlock, '\0');
    QByteArray actual(kBlock, '\0');
    for (qint64 at = 0; at < file.size(); at += kBlock) {
        const qint64 n = std::min(kBlock, file.size() - at);
        if (file.read(actual.data(), n) != n)
            return false;
        fill(lecture, version, at, expected.data(), size_t(n));
        if (std::memcmp(actual.constData(), expected.constData(), size_t(n)) != 0)
            return false;
    }
    return true;
}

std::int64_t ChaosLectures::randomSize(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> magnitude(0.0, std::log(4.0 * 1024 * 1024));
    return std::max<std::int64_t>(1, std::int64_t(std::exp(magnitude(random))));
}

std::string ChaosLectures::path(int lecture)
{
    return "/lectures/" + std::to_string(lecture) + ".zip";
}

std::optional<int> ChaosLectures::lectureOfPath(const std::string& path)
{
    const std::string prefix = "/lectures/";
    const std::string suffix = ".zip";
    if (path.size() <= prefix.size() + suffix.size() || path.rfind(prefix, 0) != 0
        || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    const std::string digits = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(digits);
}
