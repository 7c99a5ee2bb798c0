// File actions that need no shell operation: deleting files by pattern,
// copying one file or the files of a list file, renaming, making a folder.
#pragma once

namespace tav {

void DeleteMatchingFiles();  // "kill": the files that trimmed argument 2 names (wildcards allowed)
void CopyOneFile();          // "copy": one file, replacing the destination
void CopyListedFiles();      // "ini": every record of the list file beside the program
void RenamePath();           // "rename": the file or folder of argument 2 gets the path of argument 3
void MakeFolder();           // "makedir": the folder of argument 2 (only its last component)

}  // namespace tav
