#include "common/folder_guard.h"

#include "common/text.h"

namespace tav {
namespace {

constexpr std::size_t kNone = std::wstring_view::npos;

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool StartsWith(std::wstring_view s, std::wstring_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool StartsWithIgnoringAsciiCase(std::wstring_view s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && EqualIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

// "\\server\share\" from the server's first character on: the length up to and
// including the backslash after the share (the whole text when none follows),
// or 0 when server or share is missing.
std::size_t ServerShareEnd(std::wstring_view p, std::size_t serverStart) {
    const std::size_t afterServer = p.find(L'\\', serverStart);
    if (afterServer == kNone || afterServer == serverStart) return 0;
    const std::size_t shareStart = afterServer + 1;
    if (shareStart >= p.size() || p[shareStart] == L'\\') return 0;
    const std::size_t afterShare = p.find(L'\\', shareStart);
    return afterShare == kNone ? p.size() : afterShare + 1;
}

// The length of the part of an absolute path that names its volume ("C:\",
// "\\?\C:\", "\\server\share\", "\\?\UNC\server\share\", "\\?\Volume{...}\"),
// or 0 when the path does not name one.
std::size_t VolumeRootLength(std::wstring_view p) {
    std::size_t start = 0;
    const bool device = StartsWith(p, L"\\\\?\\") || StartsWith(p, L"\\\\.\\");
    if (device) start = 4;
    if (p.size() >= start + 2 && IsLetter(p[start]) && p[start + 1] == L':') {
        const std::size_t length = start + 2;
        return (p.size() > length && p[length] == L'\\') ? length + 1 : length;
    }
    if (device) {
        if (StartsWithIgnoringAsciiCase(p.substr(start), L"UNC\\")) return ServerShareEnd(p, start + 4);
        // Another device ("Volume{...}", "GLOBALROOT"): its first component is the root.
        if (p.size() == start) return 0;
        const std::size_t slash = p.find(L'\\', start);
        return slash == kNone ? p.size() : slash + 1;
    }
    if (StartsWith(p, L"\\\\")) return ServerShareEnd(p, 2);
    return 0;
}

}  // namespace

std::wstring PrepareForFullPath(std::wstring_view operand) {
    if (StartsWith(operand, L"\\??\\")) return L"\\\\?\\" + std::wstring(operand.substr(4));
    return std::wstring(operand);
}

bool IsVolumeRoot(std::wstring_view path) {
    const std::size_t root = VolumeRootLength(path);
    if (root == 0) return false;
    return path.find_first_not_of(L'\\', root) == kNone;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    const std::size_t root = VolumeRootLength(path);
    const std::size_t keep = root > 0 ? root : 1;
    while (path.size() > keep && path.back() == L'\\') path.pop_back();
    return path;
}

std::optional<std::wstring> ParentFolder(std::wstring_view path) {
    const std::wstring p = WithoutTrailingBackslash(std::wstring(path));
    const std::size_t root = VolumeRootLength(p);
    if (root == 0 || p.size() <= root) return std::nullopt;
    const std::size_t slash = p.find_last_of(L'\\');
    if (slash == kNone || slash < root) return p.substr(0, root);
    return p.substr(0, slash);
}

bool FolderIdentity::SameAs(const FolderIdentity& other) const {
    if (fileIndex != 0 && volumeSerial == other.volumeSerial && fileIndex == other.fileIndex)
        return true;
    return !finalPath.empty() && EqualIgnoringAsciiCase(finalPath, other.finalPath);
}

DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<std::vector<FolderIdentity>>& protectedFolders) {
    if (!target || target->finalPath.empty()) return DeleteVerdict::Unidentified;
    if (IsVolumeRoot(target->finalPath)) return DeleteVerdict::Protected;
    if (!protectedFolders) return DeleteVerdict::ListIncomplete;
    for (const auto& folder : *protectedFolders)
        if (target->SameAs(folder)) return DeleteVerdict::Protected;
    return DeleteVerdict::Allowed;
}

bool IsPlainComponent(std::string_view name) {
    if (Trim(name).empty()) return false;
    if (name.find_first_of("\\/:") != std::string_view::npos) return false;
    // "." and ".." name other folders; the platform drops trailing dots, so a
    // name of dots only would too.
    return name.find_first_not_of('.') != std::string_view::npos;
}

}  // namespace tav
