#include "catalogue/CatalogueLines.h"

bool IsCatalogueLine(QStringView line)
{
    return line.contains(u'%') && line.contains(u'*');
}

void SplitAndKeep(QStringView text, const std::function<void(const QString& line)>& keep)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u"\r\n", start);
        if (end < 0)
            return;
        const QStringView line = text.sliced(start, end - start);
        if (IsCatalogueLine(line))
            keep(line.toString());
        start = end + 2;
    }
}

void SplitAndKeep(QStringView text, QStringList& list)
{
    SplitAndKeep(text, [&list](const QString& line) { list.append(line); });
}
