// The layout of a 24-bit Windows bitmap file (BITMAPFILEHEADER,
// BITMAPINFOHEADER, bottom-up rows padded to four bytes). No platform headers.
#pragma once

#include <cstdint>
#include <optional>

namespace tav {

struct BmpLayout {
    std::uint32_t rowStride;  // bytes per row, padding included
    std::uint32_t imageSize;  // bytes of pixel data
    std::uint32_t pixelOffset;  // where the pixel data begin (bfOffBits)
    std::uint32_t fileSize;   // bfSize
};

constexpr std::uint32_t kBmpFileHeaderSize = 14;
constexpr std::uint32_t kBmpInfoHeaderSize = 40;

// The largest bitmap the wallpaper conversion writes, in bytes of pixel data.
constexpr std::uint64_t kMaxBmpImageBytes = 256ull << 20;

// The layout for a picture of `width` x `height` pixels at 24 bits per pixel;
// nothing when a side is not positive or the image would exceed `maxImageBytes`.
std::optional<BmpLayout> Bmp24Layout(std::int64_t width, std::int64_t height,
                                     std::uint64_t maxImageBytes = kMaxBmpImageBytes);

}  // namespace tav
