#include "main/run/split_path.h"

#include <gtest/gtest.h>

using namespace tav;

namespace {

struct Parts {
    std::string folder, name, extension;
    bool operator==(const Parts& o) const {
        return folder == o.folder && name == o.name && extension == o.extension;
    }
};

std::ostream& operator<<(std::ostream& os, const Parts& p) {
    return os << "{" << p.folder << " | " << p.name << " | " << p.extension << "}";
}

Parts Split(const std::string& path, const std::string& extensionBefore = "") {
    Parts p{"<unset>", "<unset>", extensionBefore};
    SplitPath(path, p.folder, p.name, p.extension);
    return p;
}

}  // namespace

TEST(SplitPath, CutsFolderNameAndExtension) {
    EXPECT_EQ(Split("C:\\a\\b.txt"), (Parts{"C:\\a\\", "b", "txt"}));
    EXPECT_EQ(Split("C:\\a\\b.tar.gz"), (Parts{"C:\\a\\", "b.tar", "gz"}));
    EXPECT_EQ(Split("C:\\a.d\\b"), (Parts{"C:\\a.d\\", "b", ""}));
    EXPECT_EQ(Split("C:\\a\\"), (Parts{"C:\\a\\", "", ""}));
    EXPECT_EQ(Split("b.txt"), (Parts{"b", "", "txt"}));
    EXPECT_EQ(Split("C:\\DATEN\\README"), (Parts{"C:\\DATEN\\", "README", ""}));
    EXPECT_EQ(Split("C:\\a\\.hidden"), (Parts{"C:\\a\\", "", "hidden"}));
    EXPECT_EQ(Split("C:\\a\\b."), (Parts{"C:\\a\\", "b", ""}));
    EXPECT_EQ(Split(""), (Parts{"", "", ""}));
}

TEST(SplitPath, WithoutBackslashOrFullStopLeavesTheExtensionAlone) {
    EXPECT_EQ(Split("b", "alt"), (Parts{"b", "", "alt"}));
    EXPECT_EQ(Split("C:\\a\\b", "alt"), (Parts{"C:\\a\\", "b", ""}));
}

TEST(StripTrailingBackslash, RemovesExactlyOne) {
    EXPECT_EQ(StripTrailingBackslash("C:\\Programme\\"), "C:\\Programme");
    EXPECT_EQ(StripTrailingBackslash("D:\\"), "D:");
    EXPECT_EQ(StripTrailingBackslash("C:\\X\\\\"), "C:\\X\\");
    EXPECT_EQ(StripTrailingBackslash("\\"), "");
    EXPECT_EQ(StripTrailingBackslash(""), "");
    EXPECT_EQ(StripTrailingBackslash("C:\\X"), "C:\\X");
}
