// Writes the program's loudspeaker icon as PNG files for a desktop
// installation: kardelo-export-icons <folder> <size>...
#include "artwork/Artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: kardelo-export-icons <folder> <size>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString sizeFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        if (size < 16 || !QDir().mkpath(sizeFolder)
            || !artwork::loudspeakerIcon(size, 1).save(sizeFolder + QStringLiteral("/kardelo.png"))) {
            std::fprintf(stderr, "could not write the %s px icon into %s\n", argv[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
