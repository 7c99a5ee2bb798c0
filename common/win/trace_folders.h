// What the trace says about a delete action's folder operand.
#pragma once

#include <string>

#include "common/win/protected_folders.h"

namespace tav {

// `action`'s verdict on `operand`: the folder it resolved to, and whether it
// may be emptied or why not.
void TraceFolderVerdict(const char* action, const std::string& operand, const FolderToEmpty& target);

}  // namespace tav
