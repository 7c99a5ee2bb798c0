// The files the programs write or delete by name for themselves (the result
// file, the uninstaller's marker and start-menu folder, a desktop shortcut,
// the wallpaper bitmap) with a link standing at that name: the document or
// folder the link leads to, outside what the action was given, must survive.
// The tests make the links from inside the prefix (LinkAtName); under
// Wine a program cannot remove such a link as the link, so where it stays the
// program must have said so (the uninstaller) or left it alone.
#include <windows.h>
#include <shlobj.h>

#include "common/win/folders.h"
#include "tests/support/fixtures.h"
#include "tests/support/linux_link.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

const std::string kLetter = "Lieber Leser,\r\ndieser Brief bleibt.\r\n";

// A document outside everything the actions are given.
std::string PlantDocument(const std::string& name = "Brief.txt") {
    const std::string path = "C:\\Dokumente\\" + name;
    EXPECT_TRUE(uia::MakeFolders("C:\\Dokumente"));
    EXPECT_TRUE(uia::WriteFileBytes(path, kLetter));
    return path;
}

bool IsLinkAt(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    // Wine shows a Linux link as what it leads to; the helper's answer is the
    // test's knowledge: the entry is still listed and the document is there.
    return a != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// Every action deletes an earlier answer at start-up, copydir also writes its
// own and deletes it after the hand-over: none of it reaches the document.
TEST(LinkAtOwnFile, TheResultFileNameNeverLeadsARunToTheDocument) {
    const std::string document = PlantDocument();
    for (const std::string& parameters : {std::string("c,makedir,C:\\Neu"), std::string("c,copydir, ,C:\\nirgends"),
                                          std::string("c,killfolder,C:\\fehlt\\auch")}) {
        SCOPED_TRACE(parameters);
        const LinkAtName link(ResultFile(), document);
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(RunMainToEnd(parameters), 0u);
        EXPECT_EQ(uia::ReadFileBytes(document), kLetter);
    }
    ::RemoveDirectoryA("C:\\Neu");
}

// "Ja" with a link at the marker's name: the document stays, and a marker
// that could not go is reported instead of the success.
TEST(LinkAtOwnFile, TheMarkerNameNeverLeadsTheUninstallerToTheDocument) {
    const std::string document = PlantDocument();
    const std::string marker = tav::WindowsFolder() + "\\tavrinoinstall.inf";
    const std::string install = ScratchFolder() + "\\Markiert";
    MakeFolderWithFiles(install);
    const LinkAtName link(marker, document);
    ASSERT_TRUE(link.Made());
    ASSERT_EQ(RunMainToEnd("c,u/" + install), 0u);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_EQ(uia::ReadFileBytes(document), kLetter);
    EXPECT_FALSE(uia::FolderExists(install));
    if (IsLinkAt(marker)) {
        EXPECT_EQ(out.closing, std::nullopt) << "the marker stayed";
        ASSERT_FALSE(out.notes.empty());
        EXPECT_EQ(out.notes[0], "Fehler: Es konnten nicht alle Dateien gelöscht werden.");
    }
}

// A link in the programs folder named like the installation: the folder it
// leads to is never emptied through it.
TEST(LinkAtOwnFile, ALinkNamedLikeTheInstallationInTheProgramsFolderIsNeverEmptiedThrough) {
    const std::string elsewhere = "C:\\Ziel\\Anderes Menue";
    ASSERT_TRUE(uia::MakeFolders(elsewhere + "\\unter"));
    ASSERT_TRUE(uia::WriteFileBytes(elsewhere + "\\Verknuepfung.lnk", "bleibt"));
    ASSERT_TRUE(uia::WriteFileBytes(elsewhere + "\\unter\\b.txt", "bleibt"));
    const std::string install = ScratchFolder() + "\\Verwiesen";
    MakeFolderWithFiles(install);
    const std::string programs = tav::GetSpecialFolder(CSIDL_PROGRAMS);
    const LinkAtName link(programs + "\\Verwiesen", elsewhere);
    ASSERT_TRUE(link.Made());
    ASSERT_EQ(RunMainToEnd("c,u/" + install), 0u);
    auto u = WaitForQuestion();
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    EXPECT_FALSE(uia::FolderExists(install));
    EXPECT_EQ(uia::ReadFileBytes(elsewhere + "\\Verknuepfung.lnk"), "bleibt");
    EXPECT_EQ(uia::ReadFileBytes(elsewhere + "\\unter\\b.txt"), "bleibt");
    EXPECT_TRUE(uia::FolderExists(programs));
    if (IsLinkAt(programs + "\\Verwiesen")) {
        EXPECT_EQ(out.closing, std::nullopt) << "the link stayed";
        EXPECT_EQ(out.notes, std::vector<std::string>{"Fehler: Es konnten nicht alle Dateien gelöscht werden."});
    } else {
        EXPECT_EQ(out.closing, "Deinstallation erfolgreich beendet!");
    }
}

// "c,desk" with a link at the shortcut's name: the shortcut replaces the link,
// the document is not written.
TEST(LinkAtOwnFile, TheShortcutNameNeverLeadsTheShortcutIntoTheDocument) {
    const std::string document = PlantDocument();
    const std::string shortcut = tav::GetSpecialFolder(CSIDL_DESKTOP) + "\\Demo Brief.lnk";
    {
        const LinkAtName link(shortcut, document);
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(RunMainToEnd("c,desk,C:\\Demo\\spiel.exe,Demo Brief"), 0u);
        EXPECT_EQ(uia::ReadFileBytes(document), kLetter);
        const Shortcut made = ReadShortcut(shortcut);
        EXPECT_TRUE(made.loaded);
        EXPECT_EQ(made.target, "C:\\Demo\\spiel.exe");
    }
    ::DeleteFileA(shortcut.c_str());
    EXPECT_EQ(uia::ReadFileBytes(document), kLetter);
}

// The wallpaper's bitmap replaces a link at its name in the Windows folder;
// the picture the link leads to stays as it was.
TEST(LinkAtOwnFile, TheWallpaperNameNeverLeadsTheBitmapIntoThePictureItLeadsTo) {
    ASSERT_TRUE(uia::MakeFolders("C:\\Dokumente"));
    ASSERT_TRUE(uia::MakeFolders("C:\\Bilder"));
    const std::string picture = Bitmap(40, 30), other = Bitmap(20, 10, '\x20');
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Bilder\\Verwiesen.bmp", picture));
    ASSERT_TRUE(uia::WriteFileBytes("C:\\Dokumente\\Foto.bmp", other));
    const std::string wallpaper = tav::WindowsFolder() + "\\Verwiesen.bmp";
    {
        const LinkAtName link(wallpaper, "C:\\Dokumente\\Foto.bmp");
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(RunMainToEnd("c,wallpaper,C:\\Bilder\\Verwiesen.bmp"), 0u);
        EXPECT_EQ(uia::ReadFileBytes("C:\\Dokumente\\Foto.bmp"), other);
        EXPECT_EQ(BitmapSize(wallpaper), (std::pair<LONG, LONG>{40, 30}));
    }
    ::DeleteFileA(wallpaper.c_str());
}
