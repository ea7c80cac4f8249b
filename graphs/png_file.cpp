#include "graphs/png_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <string_view>

#include "files/atomic_file.h"

namespace tapwright {

bool WritePngFile(const std::string& path, const QImage& image, std::string* error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        if (error) *error = "the picture cannot be encoded: " + writer.errorString().toStdString();
        return false;
    }
    std::string detail;
    if (WriteFileAtomically(path, std::string_view(png.constData(), png.size()), &detail)) {
        return true;
    }
    if (error) *error = detail;
    return false;
}

}  // namespace tapwright
