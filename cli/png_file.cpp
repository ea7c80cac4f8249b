#include "cli/png_file.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>

namespace tapwright::cli {

bool WritePngFile(const std::string& path, const QImage& image) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace tapwright::cli
