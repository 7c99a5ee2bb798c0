// What the trace says about the folder guard's judgements.
#pragma once

#include <string>

#include "common/folder_guard.h"
#include "common/win/protected_folders.h"

namespace tav {

// `action`'s verdict on its folder operand: the folder it resolved to, and
// whether it may be emptied or, if not, by which rule (the kind of folder it
// is) and which protected folder it matched.
void TraceFolderVerdict(const char* action, const std::string& operand, const FolderToEmpty& target);

// `action`'s judgement of the folder `folder` (what kind of folder it is and
// the protected folder it matched), and what the action makes of it.
void TraceFolderJudgement(const char* action, const std::wstring& folder, const FolderJudgement& judgement,
                          const char* consequence);

}  // namespace tav
