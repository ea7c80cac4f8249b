#pragma once

// Builds GIF byte sequences block by block for the tests. Image blocks carry
// whatever sub-block bytes the test gives; real pixel data comes from EncodeGif.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tapwright::test {

using Bytes = std::vector<std::uint8_t>;

class GifBytes {
  public:
    // Header with the given version, screen size and global colour table size code
    // (-1: no table).
    explicit GifBytes(const std::string& version = "89a", int width = 16, int height = 12,
                      int table_code = 1) {
        Raw({'G', 'I', 'F'});
        for (char c : version) bytes_.push_back(static_cast<std::uint8_t>(c));
        U16(width);
        U16(height);
        bytes_.push_back(table_code >= 0 ? static_cast<std::uint8_t>(0x80 | table_code) : 0);
        Raw({0, 0});
        if (table_code >= 0) bytes_.insert(bytes_.end(), std::size_t{3} << (table_code + 1), 0x7F);
    }

    GifBytes& Raw(std::initializer_list<std::uint8_t> b) {
        bytes_.insert(bytes_.end(), b);
        return *this;
    }
    GifBytes& U16(int v) {
        return Raw(
            {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>((v >> 8) & 0xFF)});
    }
    // Sub-blocks of the given sizes filled with `fill`, then the zero terminator.
    GifBytes& Chain(std::initializer_list<int> sizes, std::uint8_t fill = 0xAA) {
        for (int n : sizes) {
            bytes_.push_back(static_cast<std::uint8_t>(n));
            bytes_.insert(bytes_.end(), static_cast<std::size_t>(n), fill);
        }
        return Raw({0});
    }
    GifBytes& GraphicControl(int disposal, int delay, int transparent = -1) {
        Raw({0x21, 0xF9, 0x04,
             static_cast<std::uint8_t>((disposal << 2) | (transparent >= 0 ? 1 : 0))});
        U16(delay);
        return Raw({static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0), 0});
    }
    GifBytes& Comment(const std::string& text) {
        Raw({0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
        for (char c : text) bytes_.push_back(static_cast<std::uint8_t>(c));
        return Raw({0});
    }
    GifBytes& Application() {
        Raw({0x21, 0xFF, 0x0B});
        for (char c : std::string("NETSCAPE2.0")) bytes_.push_back(static_cast<std::uint8_t>(c));
        Raw({0x03, 0x01, 0x00, 0x00});
        return Raw({0});
    }
    GifBytes& PlainText(int left, int top, int width, int height) {
        Raw({0x21, 0x01, 0x0C});
        U16(left);
        U16(top);
        U16(width);
        U16(height);
        Raw({8, 8, 1, 0});
        return Chain({3});
    }
    // Image descriptor, optional local colour table (size code, -1 none), the LZW
    // code size byte and sub-blocks of the given sizes.
    GifBytes& Image(int left, int top, int width, int height, int local_code = -1,
                    std::initializer_list<int> chain = {4, 2}) {
        Raw({0x2C});
        U16(left);
        U16(top);
        U16(width);
        U16(height);
        bytes_.push_back(local_code >= 0 ? static_cast<std::uint8_t>(0x80 | local_code) : 0);
        if (local_code >= 0) bytes_.insert(bytes_.end(), std::size_t{3} << (local_code + 1), 0x33);
        Raw({2});
        return Chain(chain);
    }
    GifBytes& Trailer() { return Raw({0x3B}); }

    std::size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
};

inline Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                 b.begin() + static_cast<std::ptrdiff_t>(to));
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace tapwright::test
