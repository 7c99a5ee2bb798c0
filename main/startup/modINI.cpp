#include "main/startup/modINI.h"

#include <windows.h>

#include "main/startup/program_state.h"

namespace tav {

std::string ResultFilePath() { return State.TempPath + "Tavrino.ini"; }

void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

void WriteSearchResult(const std::string& result, const std::string& file) {
    WriteIniValue(ResultFilePath(), "Search", "Result", result);
    WriteIniValue(ResultFilePath(), "Search", "File", file);
}

void WriteCopyDirResult(const std::string& error) {
    WriteIniValue(ResultFilePath(), "CopyDir", "Error", error);
}

void WriteSelectFolderResult(const std::string& result, const std::string& error) {
    WriteIniValue(ResultFilePath(), "SelectFolder", "Result", result);
    WriteIniValue(ResultFilePath(), "SelectFolder", "Error", error);
}

void WritePictureDialogResult(const std::string& extension, const std::string& width,
                              const std::string& height, const std::string& error) {
    WriteIniValue(ResultFilePath(), "Dialog", "Extension", extension);
    WriteIniValue(ResultFilePath(), "Dialog", "Width", width);
    WriteIniValue(ResultFilePath(), "Dialog", "Height", height);
    WriteIniValue(ResultFilePath(), "Dialog", "Error", error);
}

void WriteDialogResult(const std::string& extension, const std::string& error) {
    WriteIniValue(ResultFilePath(), "Dialog", "Extension", extension);
    WriteIniValue(ResultFilePath(), "Dialog", "Error", error);
}

void WritePowerpointResult(const std::string& error) {
    WriteIniValue(ResultFilePath(), "Powerpoint", "Error", error);
}

void ResultHandOver() {
    ::Sleep(2000);
    ::DeleteFileA(ResultFilePath().c_str());
}

}  // namespace tav
