// Draws the target pictures and zone maps from their vector sources into the program's resources.
//
//   zark_targetpictures [--check] [--overlays DIR] SVGDIR RESOURCEDIR
//
// Without --check it writes every bitmap and targets.qrc into RESOURCEDIR (files already right stay
// untouched). With --check it writes nothing and fails when RESOURCEDIR is not what the sources
// make. --overlays also writes, for every picture, <id>.png: the picture at 4:1 with its zones and
// rings, for looking at.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "picturegenerator.h"
#include "picturesources.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zark_targetpictures [--check] [--overlays DIR] SVGDIR RESOURCEDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    bool check = false;
    QString overlays;
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--check")) {
            check = true;
        } else if (option == QLatin1String("--overlays") && !arguments.isEmpty()) {
            overlays = arguments.takeFirst();
        } else {
            return Usage();
        }
    }
    if (arguments.size() != 2) return Usage();

    zark::PictureGenerator generator(arguments[0]);
    QString error;
    if (!generator.Generate(&error)) {
        std::fprintf(stderr, "zark_targetpictures: %s\n", qPrintable(error));
        return 1;
    }

    if (!overlays.isEmpty()) {
        QDir().mkpath(overlays);
        for (const zark::PictureSource& source : zark::PictureSources()) {
            const QString path = QDir(overlays).filePath(QString::number(source.id) + QStringLiteral(".png"));
            if (!generator.Overlay(source.id, 4).save(path)) {
                std::fprintf(stderr, "zark_targetpictures: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }

    if (check) {
        int stale = 0;
        const QDir directory(arguments[1]);
        for (int id : generator.ResourceIds()) {
            QFile file(directory.filePath(QString::number(id) + QStringLiteral(".bmp")));
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != generator.BitmapFile(id)) {
                std::fprintf(stderr, "zark_targetpictures: %s is not what its source makes\n",
                             qPrintable(file.fileName()));
                ++stale;
            }
        }
        QFile qrc(directory.filePath(QStringLiteral("targets.qrc")));
        if (!qrc.open(QIODevice::ReadOnly) || qrc.readAll() != generator.ResourceCollection()) {
            std::fprintf(stderr, "zark_targetpictures: %s does not list the pictures\n",
                         qPrintable(qrc.fileName()));
            ++stale;
        }
        return stale == 0 ? 0 : 1;
    }

    QStringList written;
    if (!generator.Write(arguments[1], &written, &error)) {
        std::fprintf(stderr, "zark_targetpictures: %s\n", qPrintable(error));
        return 1;
    }
    for (const QString& name : written) std::printf("wrote %s\n", qPrintable(name));
    return 0;
}
