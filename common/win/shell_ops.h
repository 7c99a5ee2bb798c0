// The shell's file operation on the contents of a folder.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// Deletes (FO_DELETE) or copies (FO_COPY, into `destination`) everything in
// `folder` ("folder\*.*") through the shell, with its own progress window and
// error dialogs, owned by `owner`; every question is answered with yes.
// True when the operation did not complete: the shell reports it as aborted
// (the user cancelled), or it failed without asking anyone (a file it could
// not read or write), which the aborted flag alone does not show.
bool ShellOperationOnContents(HWND owner, UINT operation, const std::string& folder,
                              const std::string* destination = nullptr);

}  // namespace tav
