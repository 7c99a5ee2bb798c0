// The link that stood at a delete action's operand, removed once the folder
// it led to has gone.
#pragma once

#include "common/win/protected_folders.h"

namespace tav {

// Removes the link at `target.path` as a link, after its folder has been
// removed (so that nothing is left at the operand's path): the link held
// since before the judgement when there is one. Where the platform could not
// hold it (it follows links it is asked to open as themselves), the link now
// leads nowhere and is invisible to it: a new file of our own is renamed to
// the link's name, which succeeds only where nothing the platform can see
// stands there and replaces the link, and is deleted with it. True when the
// link went (or none stood there); false when it stayed.
bool RemoveOperandLink(FolderToEmpty& target);

}  // namespace tav
