#include "main/shell/bmp_layout.h"

namespace tav {

std::optional<BmpLayout> Bmp24Layout(std::int64_t width, std::int64_t height,
                                     std::uint64_t maxImageBytes) {
    if (width <= 0 || height <= 0) return std::nullopt;
    // Guard the products below against overflow before forming them.
    if (width > 0x7fffffff / 3 || height > 0x7fffffff) return std::nullopt;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t image = stride * static_cast<std::uint64_t>(height);
    const std::uint64_t offset = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    if (image > maxImageBytes || image + offset > 0xffffffffull) return std::nullopt;
    return BmpLayout{static_cast<std::uint32_t>(stride), static_cast<std::uint32_t>(image),
                     static_cast<std::uint32_t>(offset),
                     static_cast<std::uint32_t>(image + offset)};
}

}  // namespace tav
