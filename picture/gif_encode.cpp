#include "picture/gif_encode.h"

#include <algorithm>
#include <unordered_map>

namespace tapwright {

namespace {

void PutU16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Smallest number of bits (1..8) that indexes `colours` palette entries.
int ColourBits(std::size_t colours) {
    int bits = 1;
    while ((std::size_t{1} << bits) < colours && bits < 8) ++bits;
    return bits;
}

}  // namespace

std::vector<std::uint8_t> EncodeGifImageData(std::span<const std::uint8_t> indices,
                                             int colour_bits) {
    const int min_code_size = std::max(2, colour_bits);
    const int clear = 1 << min_code_size;
    const int end_of_information = clear + 1;

    std::vector<std::uint8_t> codes;
    std::uint32_t bit_buffer = 0;
    int bit_count = 0;
    auto put = [&](int code, int size) {
        bit_buffer |= static_cast<std::uint32_t>(code) << bit_count;
        bit_count += size;
        while (bit_count >= 8) {
            codes.push_back(static_cast<std::uint8_t>(bit_buffer & 0xFF));
            bit_buffer >>= 8;
            bit_count -= 8;
        }
    };

    std::unordered_map<std::uint32_t, int> table;
    int code_size = min_code_size + 1;
    int next_code = end_of_information + 1;
    put(clear, code_size);
    if (!indices.empty()) {
        int prefix = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const int k = indices[i];
            const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | k;
            if (auto it = table.find(key); it != table.end()) {
                prefix = it->second;
                continue;
            }
            put(prefix, code_size);
            if (next_code < 4096) {
                table.emplace(key, next_code++);
                // The reader widens its codes once the table outgrows them.
                if (next_code > (1 << code_size) && code_size < 12) ++code_size;
            } else {
                put(clear, code_size);
                table.clear();
                code_size = min_code_size + 1;
                next_code = end_of_information + 1;
            }
            prefix = k;
        }
        put(prefix, code_size);
    }
    put(end_of_information, code_size);
    if (bit_count > 0) codes.push_back(static_cast<std::uint8_t>(bit_buffer & 0xFF));

    std::vector<std::uint8_t> out;
    out.push_back(static_cast<std::uint8_t>(min_code_size));
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), codes.begin() + at, codes.begin() + at + n);
    }
    out.push_back(0);
    return out;
}

std::vector<std::uint8_t> EncodeGif(int screen_width, int screen_height,
                                    std::span<const std::uint8_t> palette,
                                    std::span<const GifEncodeFrame> frames, bool loop) {
    const int bits = ColourBits(std::max<std::size_t>(2, palette.size() / 3));
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, screen_width);
    PutU16(out, screen_height);
    out.push_back(static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // pixel aspect ratio
    const std::size_t table_bytes = std::size_t{3} << bits;
    for (std::size_t i = 0; i < table_bytes; ++i)
        out.push_back(i < palette.size() ? palette[i] : 0);

    if (loop) {
        const char kLoop[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 0x0B});
        out.insert(out.end(), kLoop, kLoop + 11);
        out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    }
    for (const GifEncodeFrame& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(static_cast<std::uint8_t>(((frame.disposal & 7) << 2) |
                                                (frame.transparent >= 0 ? 1 : 0)));
        PutU16(out, frame.delay);
        out.push_back(static_cast<std::uint8_t>(std::max(0, frame.transparent)));
        out.push_back(0);
        if (!frame.comment.empty()) {
            out.insert(out.end(), {0x21, 0xFE});
            for (std::size_t at = 0; at < frame.comment.size(); at += 255) {
                const std::size_t n = std::min<std::size_t>(255, frame.comment.size() - at);
                out.push_back(static_cast<std::uint8_t>(n));
                out.insert(out.end(), frame.comment.begin() + at, frame.comment.begin() + at + n);
            }
            out.push_back(0);
        }

        out.push_back(0x2C);
        PutU16(out, frame.left);
        PutU16(out, frame.top);
        PutU16(out, frame.width);
        PutU16(out, frame.height);
        out.push_back(0);  // no local colour table, not interlaced
        const std::vector<std::uint8_t> image = EncodeGifImageData(frame.indices, bits);
        out.insert(out.end(), image.begin(), image.end());
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace tapwright
