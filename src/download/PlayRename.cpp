#include "download/PlayRename.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

QString playNameFor(const QString& fileName)
{
    QString playName = fileName;
    return playName.replace(QStringLiteral("zip"), QStringLiteral("wma"), Qt::CaseSensitive);
}

PlayRename::PlayRename(const QString& folder) : folder_(folder) {}

QString PlayRename::recordPath(const QString& folder)
{
    // Hidden, and not "*.zip": the favourites view never lists it.
    return folder + QStringLiteral("/.play-rename-pending");
}

QString PlayRename::toPlayName(const QString& storedName)
{
    storedName_ = storedName;
    playName_ = playNameFor(storedName);
    if (playName_ != storedName_) {
        QSaveFile record(recordPath(folder_));
        if (record.open(QIODevice::WriteOnly)) {
            record.write((storedName_ + u'\n' + playName_ + u'\n').toUtf8());
            record.commit();
        }
        QFile::rename(folder_ + u'/' + storedName_, folder_ + u'/' + playName_);
    }
    return folder_ + u'/' + playName_;
}

bool PlayRename::back()
{
    const QString stored = folder_ + u'/' + storedName_;
    if (playName_ != storedName_ && !QFile::exists(stored))
        QFile::rename(folder_ + u'/' + playName_, stored);
    const bool back = QFile::exists(stored);
    if (back)
        QFile::remove(recordPath(folder_));
    return back;
}

void PlayRename::recoverPending(const QString& folder)
{
    QFile record(recordPath(folder));
    if (!record.open(QIODevice::ReadOnly))
        return;
    const QStringList names = QString::fromUtf8(record.readAll()).split(u'\n');
    record.close();
    if (names.size() >= 2 && !names[0].isEmpty() && !names[1].isEmpty() && !names[0].contains(u'/')
        && !names[1].contains(u'/')) {
        const QString stored = folder + u'/' + names[0];
        const QString play = folder + u'/' + names[1];
        if (!QFile::exists(stored) && QFile::exists(play))
            QFile::rename(play, stored);
    }
    QFile::remove(recordPath(folder));
}
