#include "common/folder_guard.h"

#include <map>

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

bool FolderIdentity::IsVolumeRoot() const {
    return pathOnVolume == L"\\" || (!finalPath.empty() && tav::IsVolumeRoot(finalPath));
}

namespace {

bool AnySameAs(const std::vector<FolderIdentity>& folders, const FolderIdentity& folder) {
    for (const auto& f : folders)
        if (f.SameAs(folder)) return true;
    return false;
}

// The most protected kind among the set's folders that `folder` is, with the
// folder it matched.
const ProtectedFolder* StrongestMatch(const std::vector<ProtectedFolder>& folders, const FolderIdentity& folder) {
    const ProtectedFolder* best = nullptr;
    for (const auto& f : folders)
        if (f.identity.SameAs(folder) && (!best || f.kind > best->kind)) best = &f;
    return best;
}

std::wstring PathKey(const std::wstring& path) {
    std::wstring key = WithoutTrailingBackslash(path);
    for (auto& c : key) c = FoldAscii(c);
    return key;
}

// Collects the identities of protected folders and of every folder above
// them; each path is opened once, however many protected folders share it,
// and keeps the most protected kind it was added with.
class AncestorCollector {
public:
    AncestorCollector(FolderLookup& lookup, std::vector<ProtectedFolder>& out) : lookup_(lookup), out_(out) {}

    // Adds `path` as `kind` and every folder above it, along the path as
    // given and along the final path it leads to. False when one of them
    // exists but cannot be identified.
    bool Add(const std::wstring& path, FolderKind kind) {
        const auto full = lookup_.FullPath(path);
        if (!full) return true;
        std::optional<std::wstring> finalPath;
        FolderKind k = kind;
        for (std::optional<std::wstring> p = full; p; p = ParentFolder(*p), k = FolderKind::AboveProtected) {
            const Entry* entry = IdentifyOnce(*p, k);
            if (!entry) return false;
            if (entry->identified && !finalPath) finalPath = out_[entry->index].identity.finalPath;
        }
        if (!finalPath) return true;
        k = kind;
        for (std::optional<std::wstring> p = *finalPath; p; p = ParentFolder(*p), k = FolderKind::AboveProtected)
            if (!IdentifyOnce(*p, k)) return false;
        return true;
    }

private:
    struct Entry {
        bool identified = false;
        std::size_t index = 0;  // in out_, when identified
    };

    // What is known of `path` (opened the first time it is seen), with
    // `kind` kept when it is the stronger; nothing when it exists but cannot
    // be identified.
    const Entry* IdentifyOnce(const std::wstring& path, FolderKind kind) {
        auto [it, inserted] = seen_.try_emplace(PathKey(path));
        Entry& entry = it->second;
        if (inserted) {
            auto identity = lookup_.Identify(path);
            if (identity) {
                entry.identified = true;
                entry.index = out_.size();
                out_.push_back({std::move(*identity), kind});
            } else if (lookup_.Exists(path)) {
                seen_.erase(it);
                return nullptr;
            }
        } else if (entry.identified && kind > out_[entry.index].kind) {
            out_[entry.index].kind = kind;
        }
        return &entry;
    }

    FolderLookup& lookup_;
    std::vector<ProtectedFolder>& out_;
    std::map<std::wstring, Entry> seen_;
};

enum class Identified { Yes, Absent, Unknown };

// What the folder at `path` is: `out` set when it is identified; Unknown
// when it exists but cannot be identified.
Identified IdentifyPlace(FolderLookup& lookup, const std::wstring& path, std::optional<FolderIdentity>& out) {
    out.reset();
    if (path.empty()) return Identified::Absent;
    const auto full = lookup.FullPath(path);
    if (!full) return Identified::Absent;
    out = lookup.Identify(*full);
    if (out) return Identified::Yes;
    return lookup.Exists(*full) ? Identified::Unknown : Identified::Absent;
}

enum class WindowsPlace { Outside, Inside, BelowTempException };

// Where `folder` lies with regard to the Windows folder, climbing up from it:
// inside it, unless one of the set's temp exceptions comes first on the way
// up. A folder above that cannot be opened is passed over.
WindowsPlace PlaceToWindows(const FolderIdentity& folder, const ProtectedSet& set, FolderLookup& lookup) {
    for (auto p = ParentFolder(folder.finalPath); p; p = ParentFolder(*p)) {
        const auto above = lookup.Identify(*p);
        if (!above) continue;
        if (AnySameAs(set.tempFolders, *above)) return WindowsPlace::BelowTempException;
        if (above->SameAs(set.windowsFolder)) return WindowsPlace::Inside;
    }
    return WindowsPlace::Outside;
}

}  // namespace

std::optional<ProtectedSet> LearnProtectedSet(FolderLookup& lookup) {
    const ProtectedPlaces places = lookup.Places();
    for (const auto& place : places.places)
        if (place.required && place.path.empty()) return std::nullopt;
    if (places.windowsFolder.empty() || places.tempFolders.empty() || places.tempFolders.front().empty())
        return std::nullopt;
    std::optional<FolderIdentity> windows;
    if (IdentifyPlace(lookup, places.windowsFolder, windows) != Identified::Yes) return std::nullopt;

    ProtectedSet set;
    set.windowsFolder = std::move(*windows);
    AncestorCollector collector(lookup, set.folders);
    if (!collector.Add(places.windowsFolder, FolderKind::WindowsTree)) return std::nullopt;
    for (const auto& place : places.places)
        if (!place.path.empty() && !collector.Add(place.path, place.kind)) return std::nullopt;

    // The temp folders: each an exception for what lies below it only when
    // it is an ordinary folder (judged against the set without the temp
    // folders), the Windows folder's own first, so that a user's temp folder
    // below it counts as well.
    std::vector<std::wstring> temps;
    if (!places.windowsTempFolder.empty()) temps.push_back(places.windowsTempFolder);
    temps.insert(temps.end(), places.tempFolders.begin(), places.tempFolders.end());
    for (std::size_t i = 0; i < temps.size(); ++i) {
        const std::wstring& path = temps[i];
        std::optional<FolderIdentity> temp;
        switch (IdentifyPlace(lookup, path, temp)) {
            case Identified::Unknown: return std::nullopt;
            case Identified::Absent: continue;
            case Identified::Yes: break;
        }
        const bool windowsOwn = i == 0 && !places.windowsTempFolder.empty();
        const bool ordinary = !temp->IsVolumeRoot() && !temp->SameAs(set.windowsFolder) &&
                              !StrongestMatch(set.folders, *temp) &&
                              (windowsOwn || PlaceToWindows(*temp, set, lookup) != WindowsPlace::Inside);
        if (ordinary) set.tempFolders.push_back(std::move(*temp));
    }
    // The temp folders are protected themselves.
    for (const auto& path : temps)
        if (!path.empty() && !collector.Add(path, FolderKind::Protected)) return std::nullopt;
    return set;
}

FolderJudgement JudgeFolder(const std::optional<FolderIdentity>& target,
                            const std::optional<ProtectedSet>& protectedSet, FolderLookup& lookup) {
    FolderJudgement judgement;
    if (!target || target->finalPath.empty()) return judgement;  // Unidentified
    judgement.verdict = DeleteVerdict::Protected;
    if (target->IsVolumeRoot()) {
        judgement.kind = FolderKind::VolumeRoot;
        return judgement;
    }
    if (!protectedSet) {
        judgement.verdict = DeleteVerdict::ListIncomplete;
        return judgement;
    }
    if (const ProtectedFolder* match = StrongestMatch(protectedSet->folders, *target)) {
        judgement.kind = match->kind;
        judgement.matchedFolder = match->identity.finalPath;
    }
    // In the Windows folder at any depth, unless a temp exception comes
    // first on the way up (or is the target).
    if (judgement.kind < FolderKind::WindowsTree &&
        (target->SameAs(protectedSet->windowsFolder) ||
         (!AnySameAs(protectedSet->tempFolders, *target) &&
          PlaceToWindows(*target, *protectedSet, lookup) == WindowsPlace::Inside))) {
        judgement.kind = FolderKind::WindowsTree;
        judgement.matchedFolder = protectedSet->windowsFolder.finalPath;
    }
    if (judgement.kind == FolderKind::Ordinary) judgement.verdict = DeleteVerdict::Allowed;
    return judgement;
}

DeleteVerdict JudgeFolderForDeletion(const std::optional<FolderIdentity>& target,
                                     const std::optional<ProtectedSet>& protectedSet,
                                     FolderLookup& lookup) {
    return JudgeFolder(target, protectedSet, lookup).verdict;
}

bool MayDeleteByPattern(FolderKind kind, bool namesEveryFile) {
    switch (kind) {
        case FolderKind::Ordinary:
            return true;
        case FolderKind::AboveProtected:
        case FolderKind::Protected:
            return !namesEveryFile;
        case FolderKind::ProgramFiles:
        case FolderKind::Profile:
        case FolderKind::ProfilesFolder:
        case FolderKind::WindowsTree:
        case FolderKind::VolumeRoot:
            return false;
    }
    return false;
}

bool IsPlainComponent(std::string_view name) {
    if (Trim(name).empty()) return false;
    if (name.find_first_of("\\/:") != std::string_view::npos) return false;
    // "." and ".." name other folders; the platform drops trailing dots, so a
    // name of dots only would too.
    return name.find_first_not_of('.') != std::string_view::npos;
}

}  // namespace tav
