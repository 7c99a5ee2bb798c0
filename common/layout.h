// Window layouts are designed in twips (1/1440 inch). No platform headers.
#pragma once

namespace tav {

// Pixels for a length in twips on a display of `dpi` dots per inch,
// rounded to the nearest pixel (15 twips to a pixel at 96 DPI).
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

constexpr int PixelsToTwips(int pixels, int dpi) {
    return dpi > 0 ? static_cast<int>((static_cast<long long>(pixels) * 1440 + dpi / 2) / dpi) : 0;
}

// A rectangle of a layout table, in twips.
struct TwipsRect {
    int left, top, width, height;
};

}  // namespace tav
