#include "common/folder_guard.h"

#include <gtest/gtest.h>

using namespace tav;

namespace {

const std::vector<std::string> kImportant = {
    "C:\\windows",
    "C:\\windows\\system32",
    "C:\\Program Files",
    "C:\\users\\root",
    "C:\\users\\root\\Desktop",
    "C:\\users\\root\\Documents",
    "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
};

bool Protected(const std::string& folder) { return IsProtectedFolder(folder, kImportant); }

}  // namespace

TEST(FolderGuard, ProtectsRootsImportantFoldersAndEverythingAboveThem) {
    for (const char* folder :
         {"C:\\", "C:", "c:\\", "D:\\", "C:\\Windows", "c:\\WINDOWS\\", "C:\\windows\\System32",
          "C:\\Program Files", "C:\\users", "C:\\users\\root", "C:\\USERS\\ROOT\\desktop",
          "C:\\users\\root\\Documents\\", "C:\\users\\root\\AppData",
          "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
          "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
          "\\\\server\\share", "\\\\server\\share\\", "\\\\server", "\\\\?\\C:\\",
          "\\\\?\\UNC\\server\\share"})
        EXPECT_TRUE(Protected(folder)) << folder;
}

TEST(FolderGuard, SeesThroughDotsSlashesAndRepeatedBackslashes) {
    for (const char* folder :
         {"C:\\Demo\\..", "C:\\Demo\\..\\windows", "C:/windows", "C:\\\\windows\\\\",
          "C:\\windows\\.", "C:\\windows.", "C:\\windows. ", "C:\\.\\", "C:\\a\\b\\..\\..\\..\\.."})
        EXPECT_TRUE(Protected(folder)) << folder;
}

TEST(FolderGuard, RelativeAndRootRelativePathsAreRefused) {
    for (const char* folder : {"", "\\", "\\windows", "Demo", "C:Demo", ".", ".."})
        EXPECT_TRUE(Protected(folder)) << folder;
}

TEST(FolderGuard, OrdinaryFoldersBelowImportantOnesMayGo) {
    for (const char* folder :
         {"C:\\Programme\\Demo", "C:\\Program Files\\Demo", "C:\\windows\\Temp\\x",
          "C:\\users\\root\\Documents\\Spiele", "C:\\users\\root\\Desktop\\alt",
          "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Demo",
          "D:\\Spiele\\Demo", "\\\\server\\share\\Demo", "C:\\windowsalt", "C:\\Program Files2"})
        EXPECT_FALSE(Protected(folder)) << folder;
}

TEST(FolderGuard, NormalizedForm) {
    EXPECT_EQ(NormalizeFolderPath("C:/Demo//Sub/./x/..\\"), "c:\\demo\\sub");
    EXPECT_EQ(NormalizeFolderPath("C:\\"), "c:");
    EXPECT_EQ(NormalizeFolderPath("\\\\Srv\\Share\\A"), "\\\\srv\\share\\a");
    EXPECT_EQ(NormalizeFolderPath("C:\\\xc4rger"), "c:\\\xe4rger");
}
