#pragma once

// The GIF block walk: finds the blocks of a GIF file held in memory and cuts an
// animated GIF into one stand-alone GIF per frame. Pure C++ over a byte span; no
// operation ever reads a byte outside the span, whatever the data holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tapwright {

// Kinds of block that can start at a walk position.
enum class GifBlockType {
    Application,     // 0x21 0xFF
    Comment,         // 0x21 0xFE
    GraphicControl,  // 0x21 0xF9
    PlainText,       // 0x21 0x01
    Image,           // 0x2C, image descriptor with its image
    Trailer,         // 0x3B
    Unrecognised,    // anything else, or no byte left: the walk stops here
};

// One frame of an animated GIF as a complete one-image GIF of its own: the file's
// header, logical screen descriptor and global colour table, the frame's blocks
// (its graphic control extension and any extensions up to its image), then 0x3B.
struct GifFrameBlock {
    std::vector<std::uint8_t> bytes;
    int width = 0, height = 0;  // pixels, from the image descriptor
    int left = 0, top = 0;      // pixels, from the image descriptor
    int delay = -1;             // hundredths of a second; -1 without a graphic control extension
    int disposal = 0;           // disposal method 0..7; 0 without a graphic control extension
    bool interlaced = false;    // rows in four passes, from the image descriptor
    // Offset in `bytes` of the image descriptor; nothing when the frame's graphic
    // block is a plain text extension.
    std::optional<std::size_t> image_at;
};

// True when the data starts with the three bytes "GIF" (the version is not examined).
bool HasGifSignature(std::span<const std::uint8_t> data);

// Walks the blocks of one GIF held in memory. The span must outlive the walk.
class GifWalk {
  public:
    explicit GifWalk(std::span<const std::uint8_t> data);

    // Logical screen size in pixels (0..65535); 0 when the data is too short for it.
    int ScreenWidth() const { return screen_width_; }
    int ScreenHeight() const { return screen_height_; }
    // Bytes of the global colour table: 0 or 3 * 2^(s+1), s the size code (6..768).
    int GlobalColourTableSize() const { return global_colour_table_size_; }
    // Offset of the first block: 13 + the global colour table size.
    std::size_t FirstBlockOffset() const { return 13 + global_colour_table_size_; }

    std::size_t Offset() const { return offset_; }
    void SetOffset(std::size_t offset) { offset_ = offset; }

    // Kind of the block at the current offset.
    GifBlockType BlockKind() const;
    // Length in bytes of the whole block at the current offset, sub-blocks included.
    // 0 for an unrecognised block and for a block whose bytes (or whose sub-block
    // chain) would run past the end of the data.
    std::size_t BlockLength() const;
    // Moves past the block at the current offset. Fails, leaving the offset as it
    // was, when the block has no length or would end beyond the data.
    bool SkipBlock();
    // Moves past the next graphic block: any application and comment extensions,
    // an optional graphic control extension with any further extensions, and the
    // image (or plain text extension). Fails at an unrecognised block, at the
    // trailer, or when a skip fails; the offset is then wherever the walk stopped.
    bool SkipGraphicBlock();
    // Like SkipGraphicBlock, and returns the frame as a stand-alone GIF. Yields
    // nothing where SkipGraphicBlock would fail.
    std::optional<GifFrameBlock> ExtractFrame();

    // Number of graphic blocks from the first block on; the offset is left at the
    // end of the walk.
    int CountGraphicBlocks();

    // Offset of the image descriptor (or plain text extension) of the graphic block
    // that the last successful SkipGraphicBlock or ExtractFrame moved past.
    std::size_t GraphicOffset() const { return graphic_offset_; }

  private:
    std::uint8_t ByteAt(std::size_t pos) const { return data_[pos]; }
    // u16 little-endian at pos; the caller has checked pos + 1 is inside the data.
    int U16At(std::size_t pos) const { return data_[pos] | (data_[pos + 1] << 8); }
    // Length of the sub-block chain starting at pos, or 0 when it runs past the end.
    std::size_t SubBlockChainLength(std::size_t pos) const;
    // The walk shared by SkipGraphicBlock and ExtractFrame: moves past one graphic
    // block, giving where the frame starts and the frame's position and timing.
    bool WalkGraphicBlock(std::size_t& start, GifFrameBlock& frame);

    std::span<const std::uint8_t> data_;
    std::size_t offset_ = 0;
    int screen_width_ = 0;
    int screen_height_ = 0;
    int global_colour_table_size_ = 0;
    std::size_t graphic_offset_ = 0;
};

}  // namespace tapwright
