#include "picture/gif_walk.h"

namespace tapwright {

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailerByte = 0x3B;

constexpr std::size_t kHeaderSize = 13;  // signature, version, logical screen descriptor

bool IsSkippableExtension(GifBlockType kind) {
    return kind == GifBlockType::Application || kind == GifBlockType::Comment;
}

bool IsGraphic(GifBlockType kind) {
    return kind == GifBlockType::Image || kind == GifBlockType::PlainText;
}

}  // namespace

bool HasGifSignature(std::span<const std::uint8_t> data) {
    return data.size() >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
}

GifWalk::GifWalk(std::span<const std::uint8_t> data) : data_(data) {
    if (data_.size() >= kHeaderSize) {
        screen_width_ = U16At(6);
        screen_height_ = U16At(8);
        const std::uint8_t packed = ByteAt(10);
        if (packed & 0x80) global_colour_table_size_ = 3 << ((packed & 7) + 1);
    }
    offset_ = FirstBlockOffset();
}

GifBlockType GifWalk::BlockKind() const {
    if (offset_ >= data_.size()) return GifBlockType::Unrecognised;
    switch (ByteAt(offset_)) {
        case kImageSeparator:
            return GifBlockType::Image;
        case kTrailerByte:
            return GifBlockType::Trailer;
        case kExtensionIntroducer:
            break;
        default:
            return GifBlockType::Unrecognised;
    }
    if (offset_ + 1 >= data_.size()) return GifBlockType::Unrecognised;
    switch (ByteAt(offset_ + 1)) {
        case 0xFF:
            return GifBlockType::Application;
        case 0xFE:
            return GifBlockType::Comment;
        case 0xF9:
            return GifBlockType::GraphicControl;
        case 0x01:
            return GifBlockType::PlainText;
        default:
            return GifBlockType::Unrecognised;
    }
}

std::size_t GifWalk::SubBlockChainLength(std::size_t pos) const {
    // A truncated chain has no terminating zero inside the data: the scan checks
    // every size byte's position, so it stops at the end instead of reading on.
    std::size_t total = 0;
    while (pos < data_.size()) {
        const std::size_t n = ByteAt(pos);
        if (n == 0) return total + 1;
        total += n + 1;
        pos += n + 1;
    }
    return 0;
}

std::size_t GifWalk::BlockLength() const {
    auto with_chain = [this](std::size_t fixed) -> std::size_t {
        const std::size_t chain = SubBlockChainLength(offset_ + fixed);
        return chain == 0 ? 0 : fixed + chain;
    };
    switch (BlockKind()) {
        case GifBlockType::Application:
            return with_chain(14);
        case GifBlockType::Comment:
            return with_chain(2);
        case GifBlockType::GraphicControl:
            return 8;
        case GifBlockType::PlainText:
            return with_chain(15);
        case GifBlockType::Image: {
            if (offset_ + 9 >= data_.size()) return 0;
            const std::uint8_t packed = ByteAt(offset_ + 9);
            const std::size_t local_table = (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0u;
            return with_chain(11 + local_table);
        }
        case GifBlockType::Trailer:
            return 1;
        case GifBlockType::Unrecognised:
            break;
    }
    return 0;
}

bool GifWalk::SkipBlock() {
    const std::size_t length = BlockLength();
    if (length == 0 || offset_ + length > data_.size()) return false;
    offset_ += length;
    return true;
}

bool GifWalk::SkipGraphicBlock() {
    std::size_t start = 0;
    GifFrameBlock fields;
    return WalkGraphicBlock(start, fields);
}

bool GifWalk::WalkGraphicBlock(std::size_t& start, GifFrameBlock& frame) {
    GifBlockType kind = BlockKind();
    while (IsSkippableExtension(kind)) {
        if (!SkipBlock()) return false;
        kind = BlockKind();
    }
    if (kind != GifBlockType::GraphicControl && !IsGraphic(kind)) return false;

    start = offset_;
    if (kind == GifBlockType::GraphicControl) {
        // Further extensions may follow before the image; when a second graphic
        // control extension appears, the later one is the one that applies.
        while (!IsGraphic(kind)) {
            if (kind == GifBlockType::GraphicControl) {
                const std::size_t at = offset_;
                if (!SkipBlock()) return false;
                frame.disposal = (ByteAt(at + 3) >> 2) & 7;
                frame.delay = U16At(at + 4);
            } else if (IsSkippableExtension(kind)) {
                if (!SkipBlock()) return false;
            } else {
                return false;
            }
            kind = BlockKind();
        }
    }

    const std::size_t graphic = offset_;
    if (!SkipBlock()) return false;
    // The plain text extension keeps its text grid position two bytes further on.
    const std::size_t fields = kind == GifBlockType::Image ? graphic + 1 : graphic + 3;
    frame.left = U16At(fields);
    frame.top = U16At(fields + 2);
    frame.width = U16At(fields + 4);
    frame.height = U16At(fields + 6);
    if (kind == GifBlockType::Image) {
        frame.interlaced = (ByteAt(graphic + 9) & 0x40) != 0;
        frame.image_at = graphic;
    }
    graphic_offset_ = graphic;
    return true;
}

std::optional<GifFrameBlock> GifWalk::ExtractFrame() {
    std::size_t start = 0;
    GifFrameBlock frame;
    if (!WalkGraphicBlock(start, frame)) return std::nullopt;
    const std::size_t head = FirstBlockOffset();
    if (head > data_.size()) return std::nullopt;
    frame.bytes.reserve(head + (offset_ - start) + 1);
    frame.bytes.insert(frame.bytes.end(), data_.begin(), data_.begin() + head);
    frame.bytes.insert(frame.bytes.end(), data_.begin() + start, data_.begin() + offset_);
    frame.bytes.push_back(kTrailerByte);
    // The image descriptor's place in the frame's own bytes.
    if (frame.image_at) frame.image_at = head + (*frame.image_at - start);
    return frame;
}

int GifWalk::CountGraphicBlocks() {
    offset_ = FirstBlockOffset();
    int count = 0;
    while (SkipGraphicBlock()) ++count;
    return count;
}

}  // namespace tapwright
