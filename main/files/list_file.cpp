#include "main/files/list_file.h"

namespace tav {

std::string ListReader::ReadLine() {
    if (pos_ >= text_.size()) return {};
    const std::size_t cr = text_.find('\r', pos_);
    std::string line;
    if (cr == std::string_view::npos) {
        line.assign(text_.substr(pos_));
        pos_ = text_.size();
        return line;
    }
    line.assign(text_.substr(pos_, cr - pos_));
    pos_ = cr + 1;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return line;
}

ListRecord ListReader::Next() {
    ReadLine();  // the first line of a record is a free text and carries nothing
    const std::string line2 = ReadLine();
    const std::string line3 = ReadLine();
    return {SourceOfLine(line2), DestinationOfLine(line3)};
}

std::string SourceOfLine(std::string_view line2) {
    return line2.size() > 5 ? std::string(line2.substr(5)) : std::string();
}

std::string DestinationOfLine(std::string_view line3) {
    return line3.size() > 3 ? std::string(line3.substr(3)) : std::string();
}

std::string ListFilePath(const std::string& programFolder, const std::string& trimmedName) {
    return programFolder + "\\" + trimmedName;
}

}  // namespace tav
