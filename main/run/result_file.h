// The result file "Tavrino.ini" in the temp folder: the only way the actions
// report to the front end.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tav {

// TempPath followed by "Tavrino.ini", formed anew for every write.
std::string ResultFilePath();

// Deletes the result file an earlier run left, before any action writes. A
// front end that polls for the file holds it open for a few milliseconds at
// a time, which makes a deletion fail or wait for the reader to close it, so
// the deletion is tried again for a short while until the file is gone. A
// file that is still there then is never built upon: the section this run
// writes replaces it whole, or, where a reader keeps it from being replaced
// but shares writing, replaces its contents whole; a file that cannot be
// written at all (read-only, or held without that sharing) stays as it is.
void RemoveEarlierResultFile();

// One private-profile write; the platform's answer is not examined.
void WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

// One section of the result file, built key by key and then written as a
// whole: a front end that polls for the file sees it absent or complete,
// never empty or with only its first keys.
class ResultSection {
public:
    explicit ResultSection(std::string name) : name_(std::move(name)) {}
    ResultSection& Add(std::string key, std::string value) {
        entries_.emplace_back(std::move(key), std::move(value));
        return *this;
    }
    // Writes the keys in their order with the platform's private-profile
    // calls into a new temporary file in the temp folder and moves that over
    // the result file (or, when a reader keeps the result file from being
    // replaced, writes the same bytes into it). Failures are ignored.
    void Commit() const;

private:
    std::string name_;
    std::vector<std::pair<std::string, std::string>> entries_;
};

void WriteSearchResult(const std::string& result, const std::string& file);
void WriteCopyDirResult(const std::string& error);
void WriteSelectFolderResult(const std::string& result, const std::string& error);
void WritePictureDialogResult(const std::string& extension, const std::string& width,
                              const std::string& height, const std::string& error);
void WriteDialogResult(const std::string& extension, const std::string& error);
void WritePowerpointResult(const std::string& error);

// Holds the result file for the front end for 2000 ms without processing
// window messages, then deletes it (tried again for a short while when a
// reader has it open; a failure is ignored).
void ResultHandOver();

}  // namespace tav
