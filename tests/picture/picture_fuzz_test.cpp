// Damaged copies of our own GIFs, decoded one by one: each decode must end quickly
// and within a memory bound, whatever its frame rectangles and screen claim.
//
// Memory is the peak of one decode above the level before it: under the address
// sanitizer the allocator's count of live bytes (its malloc and free hooks), else
// the kernel's resident high-water mark, reset before each decode.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "picture/gif_walk.h"
#include "picture/picture_decode.h"
#include "tests/picture/gif_bytes.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                  std::size_t),
                                              void (*free_hook)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

namespace tapwright {
namespace {

using test::Bytes;

constexpr std::int64_t kMegabyte = 1 << 20;
// The goals are 0.5 s and 64 MB for a whole run of the command-line program; a
// decode alone must stay inside the memory goal, and the time bound only catches a
// decode that runs away (the time goal is measured, and reported, by the same run).
constexpr std::int64_t kMaxDecodeBytes = 64 * kMegabyte;
constexpr double kMaxDecodeSeconds = 2.0;

#if defined(__SANITIZE_ADDRESS__)
std::atomic<std::int64_t> live_bytes{0};
std::atomic<std::int64_t> peak_bytes{0};

void OnMalloc(const volatile void*, std::size_t size) {
    const std::int64_t now = live_bytes += static_cast<std::int64_t>(size);
    std::int64_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {
    }
}

void OnFree(const volatile void* p) {
    live_bytes -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(p));
}

class PeakMemory {
  public:
    PeakMemory() {
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
        EXPECT_TRUE(installed);
        start_ = live_bytes.load();
        peak_bytes = start_;
    }
    std::int64_t Bytes() const { return peak_bytes.load() - start_; }
    static const char* Kind() { return "allocator peak"; }

  private:
    std::int64_t start_ = 0;
};
#else
// A field of /proc/self/status in bytes, or -1.
std::int64_t StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stoll(line.substr(field.size() + 1)) * 1024;
    }
    return -1;
}

class PeakMemory {
  public:
    PeakMemory() {
        // "5" resets the resident high-water mark. Where that is not allowed, the
        // process's peak so far stands in for it: a bound that is never too low.
        std::ofstream("/proc/self/clear_refs") << "5";
        start_ = StatusBytes("VmRSS");
    }
    std::int64_t Bytes() const { return StatusBytes("VmHWM") - start_; }
    static const char* Kind() { return "resident peak"; }

  private:
    std::int64_t start_ = 0;
};
#endif

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

Bytes ReadAsset(const char* name) {
    std::ifstream in(std::string(TAPWRIGHT_ASSETS_DIR) + "/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutU16(Bytes& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// Offsets of the image descriptors of a GIF.
std::vector<std::size_t> ImageOffsets(const Bytes& gif) {
    std::vector<std::size_t> at;
    GifWalk walk(gif);
    while (walk.SkipGraphicBlock()) {
        if (gif[walk.GraphicOffset()] == 0x2C) at.push_back(walk.GraphicOffset());
    }
    return at;
}

// One damaged copy: bytes set at random, a frame rectangle set to extremes, the
// logical screen set to extremes, or a cut with a few bytes set.
Bytes Damage(const Bytes& gif, int kind, std::mt19937& random) {
    Bytes d = gif;
    auto pick = [&random](std::initializer_list<int> from) {
        return *(from.begin() + random() % from.size());
    };
    auto any_byte = [&]() {
        d[std::uniform_int_distribution<std::size_t>(0, d.size() - 1)(random)] =
            static_cast<std::uint8_t>(random());
    };
    const int screen_w = gif[6] | (gif[7] << 8);
    const int screen_h = gif[8] | (gif[9] << 8);
    switch (kind) {
        case 0:
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) any_byte();
            break;
        case 1: {
            const std::vector<std::size_t> images = ImageOffsets(gif);
            const std::size_t at = images[random() % images.size()];
            const int rand16 = static_cast<int>(random() & 0xFFFF);
            PutU16(d, at + 1,
                   pick({0, 1, screen_w / 2, screen_w - 1, screen_w, 32767, 65535, rand16}));
            PutU16(d, at + 3,
                   pick({0, 1, screen_h / 2, screen_h - 1, screen_h, 38408, 65535, rand16}));
            PutU16(d, at + 5, pick({0, 1, screen_w, 211, 32768, 50889, 65535, rand16}));
            PutU16(d, at + 7, pick({0, 1, screen_h, 29530, 32768, 65535, rand16}));
            break;
        }
        case 2:
            if (random() % 3 != 1) PutU16(d, 6, pick({0, 1, 2048, 4095, 4096, 4097, 65535}));
            if (random() % 3 != 0) PutU16(d, 8, pick({0, 1, 1024, 2047, 4096, 4097, 65535}));
            break;
        default:
            d.resize(std::uniform_int_distribution<std::size_t>(0, d.size())(random));
            if (!d.empty()) any_byte();
            break;
    }
    return d;
}

TEST(PictureFuzz, EveryDamagedGifDecodesQuicklyWithinItsMemory) {
#if !defined(__SANITIZE_ADDRESS__)
    // Should a decode run away all the same, it fails here instead of taking the
    // machine's memory.
    const rlimit cap{std::uint64_t{4} << 30, std::uint64_t{4} << 30};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &cap), 0);
#endif
    const char* const names[] = {"penguin.GIF", "f_md_clr.gif", "i_md_clr.gif", "r_md_clr.gif"};
    std::mt19937 random(2326);
    // The reader's first use loads its plug-in; that is not a decode's cost.
    ASSERT_TRUE(DecodePicture(ReadAsset(names[0]), 96, 96));

    // With TAPWRIGHT_PICTURE_FUZZ_OUT set to a folder, the damaged files are also
    // written there, for bench/picture_memory.sh to run the command-line program on.
    const char* const out_dir = std::getenv("TAPWRIGHT_PICTURE_FUZZ_OUT");
    double worst_seconds = 0;
    std::int64_t worst_bytes = 0;
    int refused = 0, decodes = 0;
    for (const char* name : names) {
        const Bytes gif = ReadAsset(name);
        ASSERT_GT(ImageOffsets(gif).size(), 1u) << name;
        for (int round = 0; round < 100; ++round, ++decodes) {
            const Bytes damaged = Damage(gif, round % 4, random);
            if (out_dir != nullptr) {
                std::ofstream(std::string(out_dir) + "/" + std::to_string(decodes) + "_" + name,
                              std::ios::binary)
                    .write(reinterpret_cast<const char*>(damaged.data()),
                           static_cast<std::streamsize>(damaged.size()));
            }
            PeakMemory memory;
            const double start = ProcessSeconds();
            const std::optional<DecodedPicture> picture = DecodePicture(damaged, 96, 96);
            const double seconds = ProcessSeconds() - start;
            const std::int64_t bytes = memory.Bytes();
            worst_seconds = std::max(worst_seconds, seconds);
            worst_bytes = std::max(worst_bytes, bytes);
            ASSERT_LE(seconds, kMaxDecodeSeconds) << name << " round " << round;
            ASSERT_LE(bytes, kMaxDecodeBytes) << name << " round " << round;
            if (!picture) {
                ++refused;
                continue;
            }
            // Whatever loads is within the screen bounds, and every frame within its
            // screen, its picture exactly its rectangle.
            ASSERT_GT(picture->width, 0);
            ASSERT_LE(picture->width, kMaxPictureSide);
            ASSERT_LE(std::int64_t{picture->width} * picture->height, kMaxGifScreenPixels);
            for (const PictureFrame& f : picture->frames) {
                ASSERT_GE(f.left, 0);
                ASSERT_GE(f.top, 0);
                ASSERT_LE(f.left + f.width, picture->width) << name << " round " << round;
                ASSERT_LE(f.top + f.height, picture->height) << name << " round " << round;
                ASSERT_EQ(f.picture.size(), QSize(f.width, f.height));
            }
        }
    }
    std::printf(
        "%d damaged GIFs, %d refused: slowest decode %.4f s of processor time, "
        "largest %s %.2f MB\n",
        decodes, refused, worst_seconds, PeakMemory::Kind(),
        static_cast<double>(worst_bytes) / kMegabyte);
}

}  // namespace
}  // namespace tapwright
