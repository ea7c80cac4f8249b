// tapwright-cli picture FILE -o DIR [-n COUNT]
//
// Decodes a picture as the picture control does and writes the surface after each
// of the first COUNT frames as a PNG, so that an animation can be checked by eye
// without a screen. The frames are composed by the same steps the animation
// thread takes (draw, dispose, advance, clear at the wrap).

#include <QColor>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "graphs/png_file.h"
#include "picture/gif_walk.h"
#include "picture/picture_animation.h"
#include "picture/picture_decode.h"
#include "picture/picture_files.h"

namespace tapwright::cli {

namespace {

// Most frames one call writes.
constexpr int kMaxFrames = 1000;
// Without a screen: 96 dots per inch, and a light grey for the button-face and
// window colours that the control takes from the platform.
constexpr int kDpi = 96;
constexpr QRgb kButtonFace = qRgb(240, 240, 240);

struct Options {
    std::string file;
    std::string directory;
    int count = 0;  // 0: every frame and the first one again
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            options.directory = argv[++i];
        } else if (arg == "-n" && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || n < 1 || n > kMaxFrames) return std::nullopt;
            options.count = static_cast<int>(n);
        } else if (!arg.empty() && arg[0] == '-') {
            return std::nullopt;
        } else if (options.file.empty()) {
            options.file = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.file.empty() || options.directory.empty()) return std::nullopt;
    return options;
}

std::filesystem::path FramePath(const std::string& directory, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%03d.png", index);
    return std::filesystem::path(directory) / name;
}

}  // namespace

const char* PictureCommandHelp() {
    return "  picture FILE -o DIR [-n COUNT]\n"
           "                           Decode a picture as the window's picture control\n"
           "                           does and write the picture after each of its first\n"
           "                           COUNT frames as DIR/frame_000.png, frame_001.png,\n"
           "                           ... (default: every frame, then the first one again,\n"
           "                           to show the start of the next round). A still\n"
           "                           picture gives one file. COUNT is 1 to 1000. The\n"
           "                           button-face colour is taken as RGB(240,240,240). A\n"
           "                           FILE that does not exist as given is looked for\n"
           "                           where the window looks for its pictures: beside the\n"
           "                           program, then in its share/tapwright.\n";
}

int RunPictureCommand(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: tapwright-cli %s", PictureCommandHelp() + 2);
        return kExitBadInput;
    }

    // The program's own pictures are found as the window finds them.
    std::ifstream in(FindPictureFile(options->file), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", options->file.c_str());
        return kExitBadInput;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    PictureRefusal why = PictureRefusal::None;
    const std::optional<DecodedPicture> picture = DecodePicture(bytes, kDpi, kDpi, &why);
    if (why == PictureRefusal::ScreenSize) {
        const GifWalk walk(bytes);
        const int w = walk.ScreenWidth(), h = walk.ScreenHeight();
        if (w <= 0 || h <= 0) {
            std::fprintf(stderr, "%s: refused: the GIF's logical screen of %dx%d pixels is empty\n",
                         options->file.c_str(), w, h);
        } else {
            std::fprintf(stderr,
                         "%s: refused: the GIF's logical screen of %dx%d pixels is larger than "
                         "the picture control shows (sides up to %d, at most %lld pixels)\n",
                         options->file.c_str(), w, h, kMaxPictureSide,
                         static_cast<long long>(kMaxGifScreenPixels));
        }
        return kExitBadInput;
    }
    if (why == PictureRefusal::TooManyFrames) {
        std::fprintf(stderr,
                     "%s: refused: the GIF's frames would decode more than %lld pixels in all\n",
                     options->file.c_str(), static_cast<long long>(kMaxGifFramePixels));
        return kExitBadInput;
    }
    if (!picture || picture->width <= 0 || picture->height <= 0 ||
        picture->width > kMaxPictureSide || picture->height > kMaxPictureSide) {
        std::fprintf(stderr, "%s: not a picture that the picture control can show\n",
                     options->file.c_str());
        return kExitBadInput;
    }

    std::error_code error;
    std::filesystem::create_directories(options->directory, error);
    if (!std::filesystem::is_directory(options->directory)) {
        std::fprintf(stderr, "cannot create directory %s\n", options->directory.c_str());
        return kExitBadInput;
    }

    PictureSurface surface(picture->width, picture->height, kButtonFace, kButtonFace);
    if (!picture->IsAnimated()) {
        if (!picture->still.isNull()) {
            QPainter painter(&surface.pixels);
            painter.drawImage(QRect(0, 0, picture->width, picture->height), picture->still);
        }
        const std::filesystem::path path = FramePath(options->directory, 0);
        if (!WritePngFile(path.string(), surface.pixels)) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return kExitBadInput;
        }
        std::printf("%s  still picture %dx%d\n", path.string().c_str(), picture->width,
                    picture->height);
        return kExitOk;
    }

    const PictureFrameList& frames = picture->frames;
    const int count = options->count > 0 ? options->count : static_cast<int>(frames.size()) + 1;
    DisposeCurrentFrame(surface, frames);
    for (int k = 0; k < count; ++k) {
        const PictureFrame& f = frames[surface.current_frame];
        const int index = surface.current_frame;
        DrawCurrentFrame(surface, frames);
        const std::filesystem::path path = FramePath(options->directory, k);
        if (!WritePngFile(path.string(), surface.pixels)) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return kExitBadInput;
        }
        std::printf("%s  frame %d  at (%d,%d) %dx%d  wait %u ms  disposal %d\n",
                    path.string().c_str(), index, f.left, f.top, f.width, f.height,
                    FrameWaitMilliseconds(f.delay), f.disposal);
        DisposeCurrentFrame(surface, frames);
        AdvanceFrame(surface, frames);
    }
    return kExitOk;
}

}  // namespace tapwright::cli
