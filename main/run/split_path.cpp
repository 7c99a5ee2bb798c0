#include "main/run/split_path.h"

namespace tav {

void SplitPath(std::string path, std::string& folder, std::string& name, std::string& extension) {
    const auto mark = path.find_last_of("\\.");
    if (mark != std::string::npos) {
        if (path[mark] == '.') {
            extension = path.substr(mark + 1);
            path.resize(mark);
        } else {
            extension.clear();
        }
    }
    const auto slash = path.rfind('\\');
    if (slash != std::string::npos) {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    } else {
        folder = path;
        name.clear();
    }
}

std::string StripTrailingBackslash(std::string s) {
    if (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
}

}  // namespace tav
