// Emptying and removing a folder that the guard has allowed.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// Deletes everything inside `folder` through the shell's delete request (its
// progress window and error dialogs, owned by `owner`; every question answered
// with yes; nothing goes to the recycle bin). A link inside the folder
// (symbolic link, junction, mount point) is never followed: it is removed
// itself where the platform can remove a link without touching its target,
// and otherwise left in place and kept out of the request. Read-only entries
// are cleared so that the shell does not stop at them; any that are left
// afterwards get their flag back. Returns the shell's "aborted" flag.
bool EmptyFolder(HWND owner, const std::wstring& folder);

// Removes the folder itself when it is empty; a failure is ignored.
void RemoveEmptiedFolder(const std::wstring& folder);

}  // namespace tav
