// Deleting and copying through the shell's file operation.
#pragma once

namespace tav {

void DeleteMatchingFiles();   // "kill": the files that trimmed argument 2 names (wildcards allowed)
void DeleteFolderTree();  // "killfolder": a folder with everything in it
void CopyFolder();  // "copydir": the contents of a folder into another

}  // namespace tav
