// What the file browser decides without the platform: which files get a
// preview, the texts it shows, the size check, the pattern list, the folder
// hierarchy and the drive entries. No platform headers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// True when the last three characters of the lower-cased path are one of
// "gif", "ico", "bmp", "jpg", "wmf", "emf" (no full stop is looked for).
bool HasPreviewType(std::string_view path);

// "Dateigröße: W x H" (CP1252 text).
std::string PictureSizeText(int width, int height);
// "Das ausgewählte Bild weist nicht die Masse auf: W x H ." with the texts as given.
std::string SizeMismatchText(const std::string& requiredWidth, const std::string& requiredHeight);

// A required size as a number: blanks around it allowed, an optional sign,
// digits with an optional decimal fraction. Anything else is no number.
std::optional<double> RequiredSizeNumber(std::string_view text);
// True when both texts are numbers equal to the picture's width and height.
bool PictureHasRequiredSize(const std::string& requiredWidth, const std::string& requiredHeight,
                            int width, int height);

// The pattern list of the file list: pieces separated by ";", blanks around a
// piece removed, empty pieces dropped; pieces naming a folder (with "\", "/"
// or ":") are ignored. No piece at all means every file ("*.*").
std::vector<std::string> SplitFilePatterns(std::string_view patternList);

// Folder and file name joined with one backslash (none added when the folder
// already ends in one).
std::string JoinPath(const std::string& folder, const std::string& name);

// The chain of folders from the root down to `folder`, each a full path:
// "C:\a\b" gives "C:\", "C:\a", "C:\a\b"; a UNC path starts at "\\server\share\".
// Trailing backslashes (except a root's) are removed. Empty for a path
// without a root.
std::vector<std::string> FolderChain(std::string_view folder);
// How an entry of the chain is shown: the root in lower case ("c:\"), the
// other folders by their last component.
std::string FolderDisplayName(std::string_view chainEntry, bool isRoot);

// The indent of one level in the folder list, in pixels: `standard`, or less
// when the deepest entry (at `deepestLevel`, the root being level 0) would
// otherwise begin further right than `maxDeepestIndent`, so that deep
// folders keep the room for their names. Never below one pixel a level.
int FolderLevelIndent(int deepestLevel, int standard, int maxDeepestIndent);

// A drive entry: the lower-case letter, a colon, then " [label]" when there is a label.
std::string DriveEntryText(char letter, const std::string& label);
// The drive letter an entry or a remembered value begins with (upper case),
// or nothing when it does not begin with a letter and a colon.
std::optional<char> DriveLetterOf(std::string_view entry);

}  // namespace tav
