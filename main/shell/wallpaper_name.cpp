#include "main/shell/wallpaper_name.h"

namespace tav {

std::optional<std::string> WallpaperFileName(std::string_view picturePath) {
    const auto cut = picturePath.find_last_of("\\/:");
    std::string name(cut == std::string_view::npos ? picturePath : picturePath.substr(cut + 1));
    // The platform drops trailing full stops and blanks from a name, so one made
    // of nothing else names the folder it lies in (or, "..", the one above).
    if (name.find_first_not_of(". ") == std::string::npos) return std::nullopt;
    if (name.find('.') == std::string::npos) name += '.';
    return name;
}

}  // namespace tav
