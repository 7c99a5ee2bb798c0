#include "main/run/result_file.h"

#include <windows.h>

#include "main/run/run_state.h"

namespace tav {

std::string ResultFilePath() { return State.TempPath + "Tavrino.ini"; }

void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

namespace {

void WriteKeys(const std::string& file, const std::string& section,
               const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [key, value] : entries) WriteIniValue(file, section, key, value);
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flushes a cache
}

// Writes the keys into a new file beside `resultFile` (a copy of it when it
// is already there) and renames that over it. False, with nothing changed,
// when any step fails.
bool WriteThroughTemporaryFile(const std::string& resultFile, const std::string& section,
                               const std::vector<std::pair<std::string, std::string>>& entries) {
    // A result file that start-up could not delete gets the section added, as
    // direct writes would have done. One with more than ordinary attributes
    // (read-only, hidden, system) is left to the direct writes, so that it
    // ends exactly as they leave it.
    const DWORD attributes = ::GetFileAttributesA(resultFile.c_str());
    const bool resultFileThere = attributes != INVALID_FILE_ATTRIBUTES;
    if (resultFileThere && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                          FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    char temporary[MAX_PATH + 1] = {};
    if (!::GetTempFileNameA(State.TempPath.c_str(), "tav", 0, temporary)) return false;
    if (!resultFileThere || ::CopyFileA(resultFile.c_str(), temporary, FALSE)) {
        WriteKeys(temporary, section, entries);
        if (::MoveFileExA(temporary, resultFile.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    }
    ::DeleteFileA(temporary);
    return false;
}

}  // namespace

void ResultSection::Commit() const {
    const std::string resultFile = ResultFilePath();
    if (WriteThroughTemporaryFile(resultFile, name_, entries_)) return;
    // No temporary file, or the result file cannot be replaced (it is
    // read-only, or open without sharing): the keys go to it directly.
    WriteKeys(resultFile, name_, entries_);
}

void WriteSearchResult(const std::string& result, const std::string& file) {
    ResultSection("Search").Add("Result", result).Add("File", file).Commit();
}

void WriteCopyDirResult(const std::string& error) {
    ResultSection("CopyDir").Add("Error", error).Commit();
}

void WriteSelectFolderResult(const std::string& result, const std::string& error) {
    ResultSection("SelectFolder").Add("Result", result).Add("Error", error).Commit();
}

void WritePictureDialogResult(const std::string& extension, const std::string& width,
                              const std::string& height, const std::string& error) {
    ResultSection("Dialog")
        .Add("Extension", extension)
        .Add("Width", width)
        .Add("Height", height)
        .Add("Error", error)
        .Commit();
}

void WriteDialogResult(const std::string& extension, const std::string& error) {
    ResultSection("Dialog").Add("Extension", extension).Add("Error", error).Commit();
}

void WritePowerpointResult(const std::string& error) {
    ResultSection("Powerpoint").Add("Error", error).Commit();
}

void ResultHandOver() {
    ::Sleep(2000);
    ::DeleteFileA(ResultFilePath().c_str());
}

}  // namespace tav
