// The shell's file operation on the contents of a folder.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// Deletes (FO_DELETE) or copies (FO_COPY, into `destination`) everything in
// `folder` ("folder\*.*") through the shell, with its own progress window and
// error dialogs, owned by `owner`; every question is answered with yes.
// Returns the shell's "aborted" flag, the only outcome the callers look at.
bool ShellOperationOnContents(HWND owner, UINT operation, const std::string& folder,
                              const std::string* destination = nullptr);

}  // namespace tav
