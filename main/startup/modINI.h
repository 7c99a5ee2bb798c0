// The result file "Tavrino.ini" in the temp folder: the only way the actions
// report to the front end.
#pragma once

#include <string>

namespace tav {

// TempPath followed by "Tavrino.ini", formed anew for every write.
std::string ResultFilePath();

// One private-profile write; the platform's answer is not examined.
void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

void WriteSearchResult(const std::string& result, const std::string& file);
void WriteCopyDirResult(const std::string& error);
void WriteSelectFolderResult(const std::string& result, const std::string& error);
void WritePictureDialogResult(const std::string& extension, const std::string& width,
                              const std::string& height, const std::string& error);
void WriteDialogResult(const std::string& extension, const std::string& error);
void WritePowerpointResult(const std::string& error);

// Holds the result file for the front end for 2000 ms without processing
// window messages, then deletes it (a failure is ignored).
void ResultHandOver();

}  // namespace tav
