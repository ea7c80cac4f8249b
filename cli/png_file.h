#pragma once

// PNG output of the sub-commands that draw.

#include <string>

class QImage;

namespace tapwright::cli {

// Writes the image as PNG whole or not at all: a temporary file renamed into place.
bool WritePngFile(const std::string& path, const QImage& image);

}  // namespace tapwright::cli
