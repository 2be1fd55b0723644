// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// A disk slow to store a lecture, for as long as the test wants: while the
// object lives, flushing a download's partial file of the given size to the
// disk (the first step of its rename) waits until release(). The test
// program that uses it has its own fdatasync, which flushes all the same;
// every other file flushes at once.
class HeldFlush {
public:
    explicit HeldFlush(qint64 fileSize);
    // Releases it.
    ~HeldFlush();
    HeldFlush(const HeldFlush&) = delete;
    HeldFlush& operator=(const HeldFlush&) = delete;

    // Whether the flush has begun and waits.
    bool isHolding() const;
    void release();
};
