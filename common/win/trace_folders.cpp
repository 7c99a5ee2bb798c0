#include "common/win/trace_folders.h"

#include "common/win/ansi.h"
#include "common/win/trace.h"

namespace tav {
namespace {

const wchar_t* KindText(FolderKind kind) {
    switch (kind) {
        case FolderKind::Ordinary: return L"an ordinary folder";
        case FolderKind::AboveProtected: return L"a folder above a protected folder";
        case FolderKind::Protected: return L"a protected folder";
        case FolderKind::ProgramFiles: return L"a Program Files folder";
        case FolderKind::Profile: return L"a user profile's root";
        case FolderKind::ProfilesFolder: return L"the folder that holds the profiles";
        case FolderKind::WindowsTree: return L"the Windows folder or a folder in it";
        case FolderKind::VolumeRoot: return L"the root of a volume";
    }
    return L"a folder of another kind";
}

// A final path as people write it: "\\?\C:\x" as "C:\x", "\\?\UNC\s\x" as "\\s\x".
std::wstring AsWritten(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// "rule: <kind>, matched "<folder>"" for a refusal by the protected set.
std::wstring RuleText(FolderKind kind, const std::wstring& matchedFolder) {
    std::wstring text = L"rule: ";
    text += KindText(kind);
    if (!matchedFolder.empty()) text += L", matched the protected folder " + Quoted(AsWritten(matchedFolder));
    return text;
}

std::wstring VerdictText(const FolderToEmpty& target) {
    switch (target.verdict) {
        case DeleteVerdict::Allowed: return L"may be emptied";
        case DeleteVerdict::Protected: return L"refused: " + RuleText(target.kind, target.matchedFolder);
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
    std::wstring text = WidenAnsi(action) + L": the folder operand " + Quoted(WidenAnsi(operand));
    if (!target.path.empty()) text += L" is " + Quoted(target.path);
    if (target.linkAtPath) text += L" (through a link at that path)";
    TraceW(text + L": " + VerdictText(target));
}

void TraceFolderJudgement(const char* action, const std::wstring& folder, const FolderJudgement& judgement,
                          const char* consequence) {
    if (!TraceEnabled()) return;
    std::wstring text = WidenAnsi(action) + L": the folder " + Quoted(folder) + L" is ";
    switch (judgement.verdict) {
        case DeleteVerdict::Unidentified: text += L"not identified"; break;
        case DeleteVerdict::ListIncomplete: text += L"not judged: the protected folders could not all be established"; break;
        default: text += RuleText(judgement.kind, judgement.matchedFolder).substr(6);  // without "rule: "
    }
    TraceW(text + L": " + WidenAnsi(consequence));
}

}  // namespace tav
