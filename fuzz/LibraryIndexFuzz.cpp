// SPDX-License-Identifier: GPL-3.0-or-later

// The library index once decoded: read whole or refused whole, and what is
// read is written back to the same index. Also the writer's side: an index
// made of any lines at all is written so that it reads back as the lines a
// list would keep.

#include "FuzzCheck.h"
#include "format/CatalogueLines.h"
#include "format/LibraryIndex.h"

#include <cstdint>

namespace {

bool keptAsItStands(const QString& line)
{
    return isKeptLine(line) && !line.contains(QStringLiteral("\r\n"));
}

void checkReading(const QString& text, std::size_t size)
{
    const LibraryIndexReading reading = parseLibraryIndex(text);
    FUZZ_CHECK(reading.ok() == reading.error.isEmpty());
    if (!reading.ok()) {
        FUZZ_CHECK(reading.index.conferences.isEmpty());
        FUZZ_CHECK(reading.line >= 0 && reading.line <= text.count(QStringLiteral("\r\n")) + 1);
        return;
    }
    FUZZ_CHECK(reading.line == 0);
    FUZZ_CHECK(text.startsWith(kLibraryIndexHeader + QStringLiteral("\r\n")));
    for (const LibraryIndex::Conference& conference : reading.index.conferences) {
        FUZZ_CHECK(keptAsItStands(conference.line));
        for (const QString& lecture : conference.lectureLines)
            FUZZ_CHECK(keptAsItStands(lecture));
    }
    // Written again and read again, it is the same index.
    const QString written = formatLibraryIndex(reading.index);
    const LibraryIndexReading again = parseLibraryIndex(written);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.index == reading.index);
    // Cut anywhere, it is refused: its E line is the last thing it holds.
    FUZZ_CHECK(text.endsWith(QStringLiteral("\r\n")));
    FUZZ_CHECK(!parseLibraryIndex(QStringView(text).first(qsizetype(size % std::size_t(text.size())))).ok());
    FUZZ_CHECK(!parseLibraryIndex(QStringView(written).chopped(1)).ok());
}

// The input as an index's lines, whatever they hold: each line feed starts a
// line, a line starting with "C" a conference, and "\\n" inside a line
// stands for a CR LF, which no line of an index can hold.
void checkWriting(const QString& text)
{
    LibraryIndex made;
    LibraryIndex meant;
    for (QString line : text.split(u'\n')) {
        line.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
        if (line.startsWith(u'C') || made.conferences.isEmpty()) {
            made.conferences.append({line, {}});
            if (keptAsItStands(line))
                meant.conferences.append({line, {}});
            continue;
        }
        made.conferences.last().lectureLines.append(line);
        if (keptAsItStands(made.conferences.last().line) && keptAsItStands(line))
            meant.conferences.last().lectureLines.append(line);
    }
    const LibraryIndexReading reading = parseLibraryIndex(formatLibraryIndex(made));
    FUZZ_CHECK(reading.ok());
    FUZZ_CHECK(reading.index == meant);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkReading(text, size);
    checkWriting(text);
    return 0;
}
