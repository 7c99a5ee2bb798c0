#include "common/folder_guard.h"

#include <set>

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

namespace {

bool AnySameAs(const std::vector<FolderIdentity>& folders, const FolderIdentity& folder) {
    for (const auto& f : folders)
        if (f.SameAs(folder)) return true;
    return false;
}

// Collects the identities of protected folders and of every folder above
// them; each path is opened once, however many protected folders share it.
class AncestorCollector {
public:
    AncestorCollector(FolderLookup& lookup, std::vector<FolderIdentity>& out) : lookup_(lookup), out_(out) {}

    // Adds `path` and every folder above it that can be opened, along the path
    // as given and along the final path it leads to.
    void Add(const std::wstring& path) {
        std::optional<std::wstring> finalPath;
        for (std::optional<std::wstring> p = lookup_.FullPath(path); p; p = ParentFolder(*p)) {
            auto identity = IdentifyOnce(*p);
            if (identity && !finalPath) finalPath = identity->finalPath;
        }
        if (!finalPath) return;
        for (std::optional<std::wstring> p = ParentFolder(*finalPath); p; p = ParentFolder(*p))
            IdentifyOnce(*p);
    }

private:
    // The identity of `path` (added to the list), or nothing when it was
    // seen before or cannot be opened.
    std::optional<FolderIdentity> IdentifyOnce(const std::wstring& path) {
        std::wstring key = WithoutTrailingBackslash(path);
        for (auto& c : key) c = FoldAscii(c);
        if (!seen_.insert(std::move(key)).second) return std::nullopt;
        auto identity = lookup_.Identify(path);
        if (identity) out_.push_back(*identity);
        return identity;
    }

    FolderLookup& lookup_;
    std::vector<FolderIdentity>& out_;
    std::set<std::wstring> seen_;
};

}  // namespace

std::optional<ProtectedSet> LearnProtectedSet(FolderLookup& lookup) {
    const ProtectedPlaces places = lookup.Places();
    for (const auto& path : places.required)
        if (path.empty()) return std::nullopt;
    if (places.windowsFolder.empty()) return std::nullopt;
    const auto windowsPath = lookup.FullPath(places.windowsFolder);
    auto windows = windowsPath ? lookup.Identify(*windowsPath) : std::nullopt;
    if (!windows) return std::nullopt;

    ProtectedSet set;
    set.windowsFolder = std::move(*windows);
    AncestorCollector collector(lookup, set.folders);
    for (const auto& list : {&places.required, &places.optional})
        for (const auto& path : *list)
            if (!path.empty()) collector.Add(path);
    for (const auto& path : places.tempFolders) {
        const auto full = path.empty() ? std::nullopt : lookup.FullPath(path);
        if (auto identity = full ? lookup.Identify(*full) : std::nullopt)
            set.tempFolders.push_back(std::move(*identity));
    }
    return set;
}

DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<ProtectedSet>& protectedSet,
                                     FolderLookup& lookup) {
    if (!target || target->finalPath.empty()) return DeleteVerdict::Unidentified;
    if (IsVolumeRoot(target->finalPath)) return DeleteVerdict::Protected;
    if (!protectedSet) return DeleteVerdict::ListIncomplete;
    if (AnySameAs(protectedSet->folders, *target) || AnySameAs(protectedSet->tempFolders, *target))
        return DeleteVerdict::Protected;
    // In the Windows folder at any depth, unless a temp folder comes first on
    // the way up. A folder above that cannot be opened is passed over.
    for (auto p = ParentFolder(target->finalPath); p; p = ParentFolder(*p)) {
        const auto above = lookup.Identify(*p);
        if (!above) continue;
        if (AnySameAs(protectedSet->tempFolders, *above)) break;
        if (above->SameAs(protectedSet->windowsFolder)) return DeleteVerdict::Protected;
    }
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
