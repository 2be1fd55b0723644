// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/SoakFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <map>

namespace {

// The fields of a partial download's record ("name", "validator", ...).
std::map<QByteArray, QByteArray> readRecord(const QString& path)
{
    QFile file(path);
    std::map<QByteArray, QByteArray> fields;
    if (!file.open(QIODevice::ReadOnly))
        return fields;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        if (space > 0)
            fields[line.left(space)] = line.mid(space + 1);
    }
    return fields;
}

QStringList hiddenFiles(const QDir& folder)
{
    return folder.entryList({QStringLiteral(".kardelo-*")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString recordOf(const QString& partialName)
{
    return partialName.section(u'.', 0, -2) + QStringLiteral(".resume");
}

}  // namespace

SoakFolder::SoakFolder(QString path, const ChaosLectures& lectures) : path_(std::move(path)), lectures_(lectures) { }

QString SoakFolder::target(int lecture) const
{
    return path_ + QStringLiteral("/L%1.讲座.zip").arg(lecture);
}

std::optional<int> SoakFolder::lectureOf(const QString& target) const
{
    static const QRegularExpression name(QStringLiteral("^L(\\d+)\\.讲座\\.zip$"));
    const QRegularExpressionMatch match = name.match(QFileInfo(target).fileName());
    if (!match.hasMatch() || QFileInfo(target).absolutePath() != QFileInfo(path_).absoluteFilePath())
        return std::nullopt;
    return match.captured(1).toInt();
}

bool SoakFolder::holds(int lecture, std::optional<int> version) const
{
    return version ? lectures_.fileMatches(target(lecture), lecture, *version) : !QFileInfo::exists(target(lecture));
}

std::optional<SoakFolder::Kept> SoakFolder::kept(int lecture) const
{
    const QDir folder(path_);
    const QByteArray name = QFile::encodeName(QFileInfo(target(lecture)).fileName());
    for (const QString& partial : hiddenFiles(folder).filter(QRegularExpression(QStringLiteral("\\.partial$")))) {
        std::map<QByteArray, QByteArray> record = readRecord(folder.filePath(recordOf(partial)));
        if (record["name"] == name)
            return Kept{QFileInfo(folder.filePath(partial)).size(), record["address"], record["validator"],
                        record["total"].toLongLong()};
    }
    return std::nullopt;
}

QStringList SoakFolder::partialFileProblems(const std::set<int>& lookedInto) const
{
    const QDir folder(path_);
    const QStringList hidden = hiddenFiles(folder);
    QStringList problems;
    std::map<QByteArray, int> partialsByName;
    for (const QString& name : hidden) {
        const bool partial = name.endsWith(QStringLiteral(".partial"));
        if (!partial && !name.endsWith(QStringLiteral(".resume"))) {
            problems << QStringLiteral("a leftover %1").arg(name);
            continue;
        }
        const QString partner = partial ? recordOf(name) : name.section(u'.', 0, -2) + QStringLiteral(".partial");
        if (!hidden.contains(partner)) {
            problems << QStringLiteral("%1 without its %2").arg(name, partner);
            continue;
        }
        if (!partial)
            continue;
        std::map<QByteArray, QByteArray> record = readRecord(folder.filePath(partner));
        const QString lectureName = QFile::decodeName(record["name"]);
        if (++partialsByName[record["name"]] > 1)
            problems << QStringLiteral("more than one partial file for %1").arg(lectureName);
        const std::optional<int> lecture = lectureOf(folder.filePath(lectureName));
        if (!lecture || !lookedInto.contains(*lecture))
            continue;
        // Kept bytes are the first bytes of the version their record
        // names, never a mix of two.
        const std::optional<int> version = lectures_.versionOf(*lecture, record["validator"]);
        if (!version || !lectures_.fileMatches(folder.filePath(name), *lecture, *version, true))
            problems << QStringLiteral("the kept bytes of lecture %1 (%2 bytes, validator %3) are not the start of "
                                       "that version")
                            .arg(*lecture)
                            .arg(QFileInfo(folder.filePath(name)).size())
                            .arg(QString::fromLatin1(record["validator"]));
    }
    return problems;
}
