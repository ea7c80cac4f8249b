#pragma once

// PNG output of whatever draws: the CLI's plots and pictures, the window's graph.

#include <string>

class QImage;

namespace tapwright {

// Writes the image as PNG whole or not at all (encoded in memory, then a temporary
// file renamed into place). On failure `error`, when given, says why.
bool WritePngFile(const std::string& path, const QImage& image, std::string* error = nullptr);

}  // namespace tapwright
