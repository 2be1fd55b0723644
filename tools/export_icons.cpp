// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the program's icon as PNG files for a desktop installation,
// rendered from its SVG picture:
//   kardelo-export-icons <folder> <size>... [--name <file name>]
// Each size goes to <folder>/<size>x<size>/apps/<file name>.png; the file
// name is "kardelo" unless given.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString name = QStringLiteral("kardelo");
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--name")); at >= 0 && at + 1 < arguments.size()) {
        name = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: kardelo-export-icons <folder> <size>... [--name <file name>]\n");
        return 2;
    }
    QSvgRenderer picture(QStringLiteral(KARDELO_ICON_SVG));
    if (!picture.isValid()) {
        std::fprintf(stderr, "could not read %s\n", KARDELO_ICON_SVG);
        return 1;
    }
    const QString folder = arguments.takeFirst();
    for (const QString& sizeText : arguments) {
        const int size = sizeText.toInt();
        const QString sizeFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture.render(&painter);
        painter.end();
        if (size < 16 || !QDir().mkpath(sizeFolder) || !image.save(sizeFolder + u'/' + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "could not write the %s px icon into %s\n", qPrintable(sizeText), qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
