// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryIndexCheck.h"

#include "format/LibraryIndex.h"
#include "publishing/FindingText.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace {

// Where two runs of lines first part, and how: a line of the lists the
// index lacks (or has changed), a line the index has and the lists do not,
// or the same lines in another order.
struct Disagreement {
    enum class Kind { Missing, Extra, Order };
    Kind kind = Kind::Missing;
    qsizetype position = 0;
};

std::optional<Disagreement> firstDisagreement(const QStringList& listed, const QStringList& indexed)
{
    qsizetype first = 0;
    while (first < listed.size() && first < indexed.size() && listed[first] == indexed[first])
        ++first;
    if (first == listed.size() && first == indexed.size())
        return std::nullopt;
    // What is left of each, counted: a line the lists have more often than
    // the index is missing from it, and the other way round extra.
    const auto countFrom = [first](const QStringList& lines, const QString& line) {
        return std::count(lines.begin() + first, lines.end(), line);
    };
    if (first < listed.size() && countFrom(listed, listed[first]) > countFrom(indexed, listed[first]))
        return Disagreement{Disagreement::Kind::Missing, first};
    if (first < indexed.size() && countFrom(indexed, indexed[first]) > countFrom(listed, indexed[first]))
        return Disagreement{Disagreement::Kind::Extra, first};
    return Disagreement{Disagreement::Kind::Order, first};
}

// Why an index is refused, in the user's language.
QString faultText(LibraryIndexReading::Fault fault)
{
    using Fault = LibraryIndexReading::Fault;
    switch (fault) {
    case Fault::NoHeader:
        return LibraryIndexCheck::tr("it does not start with the line \"%1\"").arg(kLibraryIndexHeader);
    case Fault::BrokenLine:
        return LibraryIndexCheck::tr(
            "a line that is none of an index's: C, L or E followed by a tab, and the E line with two counts");
    case Fault::LectureBeforeConference:
        return LibraryIndexCheck::tr("a lecture (L) line before any conference (C) line");
    case Fault::NoEnd:
        return LibraryIndexCheck::tr("no E line at its end, so it was cut short");
    case Fault::CountsDiffer:
        return LibraryIndexCheck::tr(
            "the counts of its E line differ from the C and L lines above it: lines were lost or added");
    case Fault::TextAfterEnd:
    case Fault::None:
        return LibraryIndexCheck::tr("text after its E line");
    }
    return {};  // every fault is named above
}

QStringList textsOf(const QList<KeptRecord>& records)
{
    QStringList texts;
    for (const KeptRecord& record : records)
        texts.append(record.text);
    return texts;
}

}  // namespace

void LibraryIndexCheck::run(const LibraryText& text, const QList<ListedConference>& listed,
                            QList<LibraryFinding>& findings) const
{
    RecordLinesCheck(location_, RecordLinesCheck::TextKind::Catalogue).checkEncoding(text, findings);
    const LibraryIndexReading reading = parseLibraryIndex(text.text());
    if (!reading.ok()) {
        const QString what = faultText(reading.fault);
        findings.append(errorFinding(
            QStringLiteral("index-unreadable"), location_, int(reading.line),
            tr("%1; a reader refuses the whole index, and kardelo-library build writes it afresh").arg(what)));
        return;
    }

    QStringList catalogueLines;
    for (const ListedConference& conference : listed)
        catalogueLines.append(conference.record.text);
    QStringList indexedLines;
    // Each conference line's places in the index, for its lectures.
    QHash<QString, QList<qsizetype>> placesOf;
    for (qsizetype place = 0; place < reading.index.conferences.size(); ++place) {
        indexedLines.append(reading.index.conferences[place].line);
        placesOf[indexedLines.last()].append(place);
    }
    if (const std::optional<Disagreement> first = firstDisagreement(catalogueLines, indexedLines)) {
        const qsizetype at = first->position;
        const QString catalogueLine = at < listed.size() ? QString::number(listed[at].record.line) : QString();
        if (first->kind == Disagreement::Kind::Missing)
            addDisagreement(tr("the index lacks the conference of catalogue line %1").arg(catalogueLine), findings);
        else if (first->kind == Disagreement::Kind::Extra)
            addDisagreement(tr("the index has a conference the catalogue does not: %1").arg(indexedLines[at]),
                            findings);
        else
            addDisagreement(tr("the index has the catalogue's conferences in another order from catalogue line %1 on")
                                .arg(catalogueLine),
                            findings);
    }
    for (const ListedConference& conference : listed) {
        QList<qsizetype>& places = placesOf[conference.record.text];
        if (places.isEmpty())
            continue;  // told above
        compareLectures(conference, reading.index.conferences[places.takeFirst()].lectureLines, findings);
    }
}

void LibraryIndexCheck::compareLectures(const ListedConference& conference, const QStringList& indexed,
                                        QList<LibraryFinding>& findings) const
{
    if (!conference.lectures)
        return;
    const QList<KeptRecord>& lectures = *conference.lectures;
    const std::optional<Disagreement> first = firstDisagreement(textsOf(lectures), indexed);
    if (!first)
        return;
    const QString catalogueLine = QString::number(conference.record.line);
    const qsizetype at = first->position;
    const QString listLine = at < lectures.size() ? QString::number(lectures[at].line) : QString();
    if (first->kind == Disagreement::Kind::Missing)
        addDisagreement(tr("for the conference of catalogue line %1, the index lacks line %2 of %3")
                            .arg(catalogueLine, listLine, conference.listPath),
                        findings);
    else if (first->kind == Disagreement::Kind::Extra)
        addDisagreement(tr("for the conference of catalogue line %1, the index has a lecture %2 does not: %3")
                            .arg(catalogueLine, conference.listPath, indexed[at]),
                        findings);
    else
        addDisagreement(tr("for the conference of catalogue line %1, the index has the lectures of %2 in another "
                           "order from its line %3 on")
                            .arg(catalogueLine, conference.listPath, listLine),
                        findings);
}

void LibraryIndexCheck::addDisagreement(const QString& what, QList<LibraryFinding>& findings) const
{
    findings.append(errorFinding(QStringLiteral("index-disagrees"), location_, 0,
                                 tr("%1; the lists win, and kardelo-library build writes the index afresh").arg(what)));
}
