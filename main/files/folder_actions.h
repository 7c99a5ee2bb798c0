// Deleting whole folders, and copying them through the shell's file operation.
#pragma once

#include "main/run/owner_window.h"

namespace tav {

// "killfolder": a folder with everything in it. `owner` owns the shell's
// progress window; it is asked for only when the folder may be deleted.
void DeleteFolderTree(OwnerWindow owner);
// "copydir": the contents of a folder into another. `owner` as above, asked
// for only when the copy starts.
void CopyFolder(OwnerWindow owner);

}  // namespace tav
