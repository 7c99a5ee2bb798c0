// Removing a folder that the guard has allowed, through the handle it was
// judged by.
#pragma once

#include <windows.h>

namespace tav {

// Removes everything inside the folder open as `folder` and then the folder
// itself; `folder` must be open with delete and list access and without
// delete sharing (the folder cannot be renamed or replaced meanwhile).
//
// Nothing goes by path: each folder is listed through its own handle, each
// entry is opened relative to its folder's handle without following a link,
// and is deleted only when the entry opened is still the one the listing
// named (a platform that follows a link on open anyway is caught there). A
// link is removed as a link, a folder emptied through the handle just opened,
// a file deleted through its handle (read-only cleared through it first).
// What cannot be deleted stays with the folders that hold it.
//
// A removal that takes a while shows the platform's progress window, owned by
// `owner`; its Cancel button stops the removal.
//
// Returns true when everything went; false when anything could not be deleted
// or the user cancelled. A handle that is no folder deletes nothing and
// counts as done.
bool RemoveHeldFolder(HANDLE folder, HWND owner);

}  // namespace tav
