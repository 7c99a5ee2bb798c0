// The list file of the "ini" action: three-line records naming a source file
// and a destination path. No platform headers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tav {

struct ListRecord {
    std::string source;       // line 2 from its sixth character on, untrimmed
    std::string destination;  // line 3 from its fourth character on, untrimmed
};

// Reads the list text record by record. A line ends at CR or at CR LF; a LF
// alone is part of the line. The end of the text is tested only before a
// record, so a record cut short by the end of the text gets empty lines.
class ListReader {
public:
    explicit ListReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // The next record (lines past the end are empty).
    ListRecord Next();

private:
    std::string ReadLine();

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Line 2 and 3 cut to the paths they carry.
std::string SourceOfLine(std::string_view line2);
std::string DestinationOfLine(std::string_view line3);

// The list file's path: the program's folder, always a backslash, then the name.
std::string ListFilePath(const std::string& programFolder, const std::string& trimmedName);

}  // namespace tav
