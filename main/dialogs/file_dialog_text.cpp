#include "main/dialogs/file_dialog_text.h"

#include "main/run/split_path.h"

namespace tav {

std::string FilterList(const std::string& description, const std::string& pattern) {
    std::string list = description;
    list += '\0';
    list += pattern;
    list += '\0';
    list += '\0';
    return list;
}

std::string FileBuffer(const std::string& defaultName, std::size_t size) {
    if (defaultName.size() >= size) return std::string(size, '\0');
    std::string buffer = defaultName;
    buffer.resize(size, '\0');
    return buffer;
}

std::string DefaultSaveName(const std::string& sourcePath) {
    std::string folder, name, extension;
    SplitPath(sourcePath, folder, name, extension);
    return name + "." + extension;
}

}  // namespace tav
