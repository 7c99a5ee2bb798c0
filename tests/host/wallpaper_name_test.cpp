#include "main/shell/wallpaper_name.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(WallpaperFileName, IsThePicturesOwnFileNameWhateverThePathBeforeIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Bilder\\Urlaub.jpg", "Urlaub.jpg"},
        {"C:\\Bilder\\Urlaub.tar.gz", "Urlaub.tar.gz"},
        {"Urlaub.jpg", "Urlaub.jpg"},
        {"C:Urlaub.jpg", "Urlaub.jpg"},  // relative to drive C's current folder
        // Traversal in front of the name stays outside the Windows folder.
        {"C:\\bilder\\a/../../bilder/evil.jpg", "evil.jpg"},
        {"C:/bilder/a\\..\\evil.jpg", "evil.jpg"},
        {"\\\\server\\freigabe\\..\\..\\Bild.gif", "Bild.gif"},
        {"C:\\Bilder\\Gr\xf6\xdf" "e.bmp", "Gr\xf6\xdf" "e.bmp"},
        // A name without an extension: name, full stop, empty extension.
        {"C:\\nirgends\\Neu", "Neu."},
        {"User", "User."},
        {"C:\\Bilder\\x.", "x."},
        {"C:\\Bilder\\.hidden", ".hidden"},
        {"C:\\Bilder\\ a .b", " a .b"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(WallpaperFileName(path), name) << path;
}

TEST(WallpaperFileName, NoNameOrOnlyFullStopsAndBlanksStopsTheAction) {
    for (const char* path : {"", "C:\\Bilder\\", "C:/Bilder/", "C:", "C:\\Bilder\\.", "C:\\Bilder\\..",
                             "C:\\Bilder/..", "..", "C:\\Bilder\\...", "C:\\Bilder\\ . ", "C:\\Bilder\\   "})
        EXPECT_EQ(WallpaperFileName(path), std::nullopt) << path;
}
