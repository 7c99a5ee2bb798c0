// walk <folder>: counts the entries under a folder with a bare depth-first
// FindFirstFileA/FindNextFileA walk, the platform's limit for a search of the
// same tree (used by tools/bench-search.sh).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

unsigned long long Walk(const std::string& folder) {
    unsigned long long entries = 0;
    WIN32_FIND_DATAA record{};
    HANDLE find = ::FindFirstFileA((folder + "*.*").c_str(), &record);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        ++entries;
        const std::string name = record.cFileName;
        if (name == "." || name == "..") continue;
        if (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) entries += Walk(folder + name + "\\");
    } while (::FindNextFileA(find, &record));
    ::FindClose(find);
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = argc > 1 ? argv[1] : "C:\\";
    if (root.empty() || root.back() != '\\') root += '\\';
    std::printf("%llu\n", Walk(root));
    return 0;
}
