#include "common/win/trace_folders.h"

#include "common/win/ansi.h"
#include "common/win/trace.h"

namespace tav {
namespace {

const wchar_t* VerdictText(const FolderToEmpty& target) {
    switch (target.verdict) {
        case DeleteVerdict::Allowed: return L"may be emptied";
        case DeleteVerdict::Protected:
            return L"refused: a drive root, a protected folder, a folder above one, or a folder in the "
                   L"Windows folder";
        case DeleteVerdict::ListIncomplete:
            return L"refused: the protected folders could not all be established";
        case DeleteVerdict::Unidentified: break;
    }
    if (target.path.empty()) return L"not acted on: it cannot be made a full path";
    return L"not acted on: not found, or it cannot be opened as a folder";
}

}  // namespace

void TraceFolderVerdict(const char* action, const std::string& operand, const FolderToEmpty& target) {
    if (!TraceEnabled()) return;
    std::wstring text = std::wstring(action, action + std::char_traits<char>::length(action)) +
                        L": the folder operand " + Quoted(WidenAnsi(operand));
    if (!target.path.empty()) text += L" is " + Quoted(target.path);
    TraceW(text + L": " + VerdictText(target));
}

}  // namespace tav
