// Writes the application icon at the sizes of the hicolor icon theme:
//   tapwright_icon_sizes SOURCE.png OUTPUT_DIRECTORY SIZE...
// gives OUTPUT_DIRECTORY/SIZExSIZE/apps/tapwright.png for each SIZE (in pixels,
// 1 ... 1024), scaled smoothly from SOURCE.

#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SOURCE.png OUTPUT_DIRECTORY SIZE...\n", argv[0]);
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (*end != '\0' || size < 1 || size > 1024) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        const QString dir =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage icon = source.scaled(static_cast<int>(size), static_cast<int>(size),
                                          Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QSaveFile file(dir + QStringLiteral("/tapwright.png"));
        if (!QDir().mkpath(dir) || !file.open(QIODevice::WriteOnly) || !icon.save(&file, "png") ||
            !file.commit()) {
            std::fprintf(stderr, "cannot write %s/tapwright.png\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
