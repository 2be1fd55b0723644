// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A library as the search sees it, made from fixed lists of common
// medical words, surnames and hospitals, so that its characters and their
// pinyin are those of real lecture titles. The same seed makes the same
// library.
struct GeneratedLibrary {
    struct Lecture {
        QString title;
        QString speaker;
        QString note;
    };

    QStringList conferences;
    std::vector<Lecture> lectures;
};

GeneratedLibrary generateLibrary(int conferences, int lecturesPerConference, unsigned seed);

// What a user types to find one of the texts, of `length` characters.
enum class QueryKind { Chinese, Pinyin, Initials };

// `count` queries of `kind`, each taken from a text picked at random: that
// many Han characters in a row, or the first `length` letters of their
// pinyin from a syllable on, or that many of their initials.
QStringList sampleQueries(const QStringList& texts, QueryKind kind, int length, int count, unsigned seed);
