// SPDX-License-Identifier: GPL-3.0-or-later

#include "format/LibraryIndex.h"

#include "format/CatalogueLines.h"
#include "format/LibraryLog.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kConferenceMark = QStringLiteral("C\t");
const QString kLectureMark = QStringLiteral("L\t");
const QString kEndMark = QStringLiteral("E\t");

bool canHold(QStringView line)
{
    return isKeptLine(line) && !line.contains(kLineEnd);
}

// A count as the E line writes it: decimal digits only, few enough to fit.
qsizetype countOf(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    qsizetype count = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        count = count * 10 + (c.unicode() - u'0');
    }
    return count;
}

class IndexReader {
public:
    LibraryIndexReading read(QStringView text)
    {
        const qsizetype rest = forEachLine(text, [this](QStringView line) { return readLine(line); });
        if (reading_.ok() && lineNumber_ == 0 && !text.startsWith(kLibraryIndexHeader))
            fail(LibraryIndexReading::Fault::NoHeader, 0, QStringLiteral("not a library index"));
        else if (reading_.ok() && !ended_)
            fail(LibraryIndexReading::Fault::NoEnd, 0, QStringLiteral("no E line: cut short"));
        else if (reading_.ok() && rest < text.size())
            fail(LibraryIndexReading::Fault::TextAfterEnd, lineNumber_ + 1, QStringLiteral("text after the E line"));
        if (!reading_.ok()) {
            reading_.index = {};
            qCWarning(lcLibrary).noquote() << "library index refused:" << reading_.error;
        } else if (dropped_ > 0) {
            qCWarning(lcLibrary) << "library index: passed over" << dropped_ << "lines no list would keep";
        }
        return reading_;
    }

private:
    bool readLine(QStringView line)
    {
        ++lineNumber_;
        if (lineNumber_ == 1) {
            if (line != kLibraryIndexHeader)
                return fail(LibraryIndexReading::Fault::NoHeader, 1,
                            QStringLiteral("not a library index of version 1"));
            return true;
        }
        if (ended_)
            return fail(LibraryIndexReading::Fault::TextAfterEnd, lineNumber_, QStringLiteral("text after the E line"));
        if (line.startsWith(kConferenceMark))
            return readConference(line.sliced(kConferenceMark.size()));
        if (line.startsWith(kLectureMark))
            return readLecture(line.sliced(kLectureMark.size()));
        if (line.startsWith(kEndMark))
            return readEnd(line.sliced(kEndMark.size()));
        return fail(LibraryIndexReading::Fault::BrokenLine, lineNumber_, QStringLiteral("neither C, L nor E"));
    }

    bool readConference(QStringView record)
    {
        ++conferenceLines_;
        conferenceKept_ = canHold(record);
        if (conferenceKept_)
            reading_.index.conferences.append({record.toString(), {}});
        else
            ++dropped_;
        return true;
    }

    bool readLecture(QStringView record)
    {
        if (conferenceLines_ == 0)
            return fail(LibraryIndexReading::Fault::LectureBeforeConference, lineNumber_,
                        QStringLiteral("a lecture before any conference"));
        ++lectureLines_;
        if (conferenceKept_ && canHold(record))
            reading_.index.conferences.last().lectureLines.append(record.toString());
        else
            ++dropped_;
        return true;
    }

    bool readEnd(QStringView counts)
    {
        ended_ = true;
        const qsizetype tab = counts.indexOf(u'\t');
        const qsizetype conferences = tab < 0 ? -1 : countOf(counts.first(tab));
        const qsizetype lectures = tab < 0 ? -1 : countOf(counts.sliced(tab + 1));
        if (conferences < 0 || lectures < 0)
            return fail(LibraryIndexReading::Fault::BrokenLine, lineNumber_,
                        QStringLiteral("an E line without counts"));
        if (conferences != conferenceLines_ || lectures != lectureLines_)
            return fail(LibraryIndexReading::Fault::CountsDiffer, lineNumber_,
                        QStringLiteral("the E line counts %1 C and %2 L lines, the text has %3 and %4")
                            .arg(conferences)
                            .arg(lectures)
                            .arg(conferenceLines_)
                            .arg(lectureLines_));
        return true;
    }

    bool fail(LibraryIndexReading::Fault fault, qsizetype line, const QString& what)
    {
        reading_.fault = fault;
        reading_.line = line;
        reading_.error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(what) : what;
        return false;
    }

    LibraryIndexReading reading_;
    qsizetype lineNumber_ = 0;
    qsizetype conferenceLines_ = 0;
    qsizetype lectureLines_ = 0;
    qsizetype dropped_ = 0;
    bool conferenceKept_ = false;
    bool ended_ = false;
};

}  // namespace

QString formatLibraryIndex(const LibraryIndex& index)
{
    QString text = kLibraryIndexHeader + kLineEnd;
    qsizetype conferences = 0;
    qsizetype lectures = 0;
    for (const LibraryIndex::Conference& conference : index.conferences) {
        if (!canHold(conference.line))
            continue;
        text += kConferenceMark + conference.line + kLineEnd;
        ++conferences;
        for (const QString& lecture : conference.lectureLines) {
            if (!canHold(lecture))
                continue;
            text += kLectureMark + lecture + kLineEnd;
            ++lectures;
        }
    }
    return text + kEndMark + QString::number(conferences) + u'\t' + QString::number(lectures) + kLineEnd;
}

LibraryIndexReading parseLibraryIndex(QStringView text)
{
    return IndexReader().read(text);
}
