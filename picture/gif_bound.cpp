#include "picture/gif_bound.h"

#include <algorithm>
#include <array>

namespace tapwright {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;

int U16At(std::span<const std::uint8_t> data, std::size_t pos) {
    return data[pos] | (data[pos + 1] << 8);
}

// The codes before bit `at` of the stream, then the end code, so that a decoder
// stops there instead of taking further codes from the last byte.
std::vector<std::uint8_t> EndStreamAt(std::span<const std::uint8_t> codes, std::uint64_t at,
                                      int end_code, int code_size) {
    const std::size_t whole = static_cast<std::size_t>(at / 8);
    const int spare = static_cast<int>(at % 8);
    std::vector<std::uint8_t> out(codes.begin(), codes.begin() + whole);
    std::uint32_t bits = spare ? codes[whole] & ((1u << spare) - 1) : 0;
    bits |= static_cast<std::uint32_t>(end_code) << spare;
    for (int n = spare + code_size; n > 0; n -= 8) {
        out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        bits >>= 8;
    }
    return out;
}

}  // namespace

GifRect ClipToScreen(int left, int top, int width, int height, int screen_width,
                     int screen_height) {
    const int x0 = std::clamp(left, 0, std::max(screen_width, 0));
    const int y0 = std::clamp(top, 0, std::max(screen_height, 0));
    // 64-bit sums: left + width may reach 131070.
    const long long x1 = std::min<long long>(static_cast<long long>(left) + width, screen_width);
    const long long y1 = std::min<long long>(static_cast<long long>(top) + height, screen_height);
    if (x1 <= x0 || y1 <= y0) return GifRect{x0, y0, 0, 0};
    return GifRect{x0, y0, static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

std::int64_t PixelsUpToLastOnScreen(int left, int top, int width, int height, bool interlaced,
                                    int screen_width, int screen_height) {
    const GifRect on = ClipToScreen(left, top, width, height, screen_width, screen_height);
    if (on.Empty()) return 0;
    // The data's rows start at the frame's own top and left, which lie on the screen
    // whenever the two meet.
    const std::int64_t rows = on.top + on.height - top;
    if (interlaced) return rows * width;
    const std::int64_t columns = on.left + on.width - left;
    return (rows - 1) * width + columns;
}

std::optional<std::vector<std::uint8_t>> CutLzwStream(int min_code_size,
                                                      std::span<const std::uint8_t> codes,
                                                      std::int64_t pixels) {
    if (min_code_size < 0 || min_code_size > kMaxCodeBits) return std::nullopt;
    const int clear = 1 << min_code_size;
    const int end = clear + 1;
    int code_size = min_code_size + 1;
    int table_end = clear + 2;  // first code not yet in the table
    int table_limit = 2 * clear;
    bool need_first = true;
    int previous = 0;
    // Length in pixels of the string of each table entry, as the decoder builds it.
    std::array<std::int32_t, kMaxCodes> length{};
    auto length_of = [&](int code) -> std::int32_t {
        if (code < clear) return 1;
        if (code >= clear + 2 && code < table_end) return length[code];
        return 0;  // a damaged reference: the decoder stops there
    };

    std::int64_t given = 0;
    std::uint32_t bits = 0;
    int bit_count = 0;
    std::uint64_t bits_read = 0;  // bits of every code taken so far
    for (const std::uint8_t byte : codes) {
        bits |= static_cast<std::uint32_t>(byte) << bit_count;
        bit_count += 8;
        while (bit_count >= code_size) {
            const int width_now = code_size;
            const int code = static_cast<int>(bits & ((1u << code_size) - 1));
            bits >>= code_size;
            bit_count -= code_size;
            if (code == end) return std::nullopt;
            if (code == clear) {
                if (!need_first) {
                    code_size = min_code_size + 1;
                    table_limit = 2 * clear;
                    table_end = clear + 2;
                }
                need_first = true;
            } else {
                // This code gives pixels: once enough have been given, the stream
                // ends with the code before it.
                if (given >= pixels) return EndStreamAt(codes, bits_read, end, code_size);
                if (need_first) {
                    given += 1;
                    need_first = false;
                } else {
                    // A code not yet in the table repeats the previous string and
                    // its first pixel.
                    const std::int32_t n = code >= table_end
                                               ? length_of(previous) + (length_of(previous) > 0)
                                               : length_of(code);
                    if (n == 0) return std::nullopt;
                    given += n;
                    if (table_end < kMaxCodes) {
                        length[table_end] = length_of(previous) + 1;
                        ++table_end;
                        if (table_end >= table_limit && table_limit < kMaxCodes) {
                            table_limit *= 2;
                            ++code_size;
                        }
                    }
                }
                previous = code;
            }
            bits_read += static_cast<unsigned>(width_now);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> CutImageToScreen(std::span<const std::uint8_t> gif,
                                                          std::size_t image_at, int screen_width,
                                                          int screen_height) {
    // Descriptor: separator, left, top, width, height, packed byte.
    if (image_at >= gif.size() || gif.size() - image_at < 11) return std::nullopt;
    const std::uint8_t packed = gif[image_at + 9];
    const std::size_t local_table = (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0u;
    const std::size_t code_size_at = image_at + 10 + local_table;
    if (code_size_at >= gif.size()) return std::nullopt;

    // Join the payloads; a chain that runs past the end keeps what is there.
    std::vector<std::uint8_t> codes;
    std::size_t pos = code_size_at + 1;
    while (pos < gif.size() && gif[pos] != 0) {
        const std::size_t n = std::min<std::size_t>(gif[pos], gif.size() - pos - 1);
        codes.insert(codes.end(), gif.begin() + pos + 1, gif.begin() + pos + 1 + n);
        pos += 1 + n;
    }
    const std::size_t chain_end = std::min(pos + 1, gif.size());

    const std::int64_t pixels = PixelsUpToLastOnScreen(
        U16At(gif, image_at + 1), U16At(gif, image_at + 3), U16At(gif, image_at + 5),
        U16At(gif, image_at + 7), (packed & 0x40) != 0, screen_width, screen_height);
    const auto kept = CutLzwStream(gif[code_size_at], codes, pixels);
    if (!kept) return std::nullopt;

    std::vector<std::uint8_t> out(gif.begin(), gif.begin() + code_size_at + 1);
    out.reserve(out.size() + kept->size() + kept->size() / 255 + 2 + (gif.size() - chain_end));
    for (std::size_t at = 0; at < kept->size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, kept->size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), kept->begin() + at, kept->begin() + at + n);
    }
    out.push_back(0);
    out.insert(out.end(), gif.begin() + chain_end, gif.end());
    return out;
}

}  // namespace tapwright
