// The name of the wallpaper bitmap in the Windows folder. No platform headers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav {

// The bitmap's file name for the picture `picturePath`: the picture's own
// file name, i.e. the text after the path's last "\", "/" or ":", written as
// name, ".", extension (a name without a full stop gets one at its end).
// Nothing when that file name is empty or made of full stops and blanks only
// (".", "..", "..."): such a name would name the Windows folder or one above
// it, so no bitmap may be written under it.
std::optional<std::string> WallpaperFileName(std::string_view picturePath);

}  // namespace tav
