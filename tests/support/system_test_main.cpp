// main() of every Windows test program, and the helpers of system_test.h.
#include "tests/support/system_test.h"

#include <windows.h>

namespace systest {

std::string ResultFile() { return uia::TempFolder() + "Tavrino.ini"; }

uia::Process RunMain(const std::string& parameterString, const std::string& cwd) {
    return uia::Start(uia::MainProgram(), parameterString, cwd);
}

std::optional<DWORD> RunMainToEnd(const std::string& parameterString, uia::Ms timeout) {
    uia::Process p = RunMain(parameterString);
    if (!p.Started()) return std::nullopt;
    return p.WaitForExit(timeout);
}

std::string ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    const std::string folder = "C:\\scratch\\" + name;
    uia::RemoveTree(folder);
    uia::MakeFolders(folder);
    return folder;
}

std::vector<IniSection> ParseIni(const std::string& bytes) {
    std::vector<IniSection> sections;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        auto end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 2;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty()) {
            const auto eq = line.find('=');
            sections.back().entries.emplace_back(line.substr(0, eq),
                                                 eq == std::string::npos ? "" : line.substr(eq + 1));
        }
    }
    return sections;
}

std::optional<IniEntries> ResultSection(const std::string& section) {
    const auto bytes = uia::ReadFileBytes(ResultFile());
    if (!bytes) return std::nullopt;
    for (const auto& s : ParseIni(*bytes))
        if (s.name == section) return IniEntries(s.entries.begin(), s.entries.end());
    return std::nullopt;
}

void RemoveResultFile() {
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(ResultFile().c_str());
}

std::string ScreenshotPath(const std::string& name) {
    uia::MakeFolders("C:\\screenshots");
    return "C:\\screenshots\\" + name + ".bmp";
}

bool ShowsAnyWindow(DWORD pid, uia::Ms timeout) {
    return uia::WaitForWindow({pid, "", "", true}, timeout) != nullptr;
}

}  // namespace systest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
