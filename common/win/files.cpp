#include "common/win/files.h"

#include "common/win/raii.h"

namespace tav {

bool FileExists(const std::string& path) {
    bool answer = true;
    const DWORD remembered = ::GetFileAttributesA(path.c_str());
    if (remembered == INVALID_FILE_ATTRIBUTES) answer = false;
    if (!::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL)) answer = false;

    WIN32_FIND_DATAA data{};
    UniqueFindHandle find(::FindFirstFileA(path.c_str(), &data));
    if (!find || (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | 0x8 /* volume label */)))
        answer = false;
    find.reset();

    if (remembered == INVALID_FILE_ATTRIBUTES ||
        !::SetFileAttributesA(path.c_str(), remembered))
        answer = false;
    return answer;
}

bool IsPlainFile(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & (FILE_ATTRIBUTE_DIRECTORY | 0x8));
}

bool IsFolder(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<ULONGLONG>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool MakeFolderWithParents(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    if (folder.empty() || IsFolder(folder)) return !folder.empty();
    const auto cut = folder.find_last_of('\\');
    if (cut != std::string::npos && cut > 0) {
        std::string parent = folder.substr(0, cut);
        if (parent.back() == ':') parent += '\\';  // the drive's root
        if (parent.size() < folder.size() && !MakeFolderWithParents(parent)) return false;
    }
    return ::CreateDirectoryA(folder.c_str(), nullptr) || IsFolder(folder);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

}  // namespace tav
