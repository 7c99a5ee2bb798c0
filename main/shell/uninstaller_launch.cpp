#include "main/shell/uninstaller_launch.h"

namespace tav {
namespace {

template <class Char>
std::basic_string<Char> FolderOf(std::basic_string_view<Char> parameterString) {
    std::basic_string<Char> folder(parameterString.size() > 4 ? parameterString.substr(4)
                                                              : std::basic_string_view<Char>());
    if (!folder.empty() && folder.back() == Char('\\')) folder.pop_back();
    return folder;
}

template <class Char>
std::basic_string<Char> CommandLineOf(const std::basic_string<Char>& program,
                                      const std::basic_string<Char>& folder) {
    std::basic_string<Char> line(1, Char('"'));
    line += program;
    line += Char('"');
    line += Char(' ');
    line += folder;
    return line;
}

}  // namespace

std::string InstallFolderOfUninstallCommand(std::string_view s) { return FolderOf(s); }
std::wstring InstallFolderOfUninstallCommand(std::wstring_view s) { return FolderOf(s); }

std::string UninstallerCommandLine(const std::string& program, const std::string& folder) {
    return CommandLineOf(program, folder);
}
std::wstring UninstallerCommandLine(const std::wstring& program, const std::wstring& folder) {
    return CommandLineOf(program, folder);
}

std::wstring FreshUninstallerFolderName(unsigned long processId, unsigned long stamp, int attempt) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring name = L"Tav_uninstall.";
    for (unsigned long value : {processId, stamp, static_cast<unsigned long>(attempt)}) {
        std::wstring hex;
        do {
            hex.insert(hex.begin(), digits[value & 15]);
            value >>= 4;
        } while (value != 0);
        name += hex;
        name += L'.';
    }
    name.pop_back();
    return name;
}

}  // namespace tav
