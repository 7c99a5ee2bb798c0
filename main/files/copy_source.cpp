#include "main/files/copy_source.h"

namespace tav {

std::string ContentsSourceFolder(std::string_view operand) {
    const bool bareDrive = operand.size() == 2 && operand[1] == ':' &&
                           ((operand[0] >= 'A' && operand[0] <= 'Z') || (operand[0] >= 'a' && operand[0] <= 'z'));
    return bareDrive ? std::string(operand) + '\\' : std::string(operand);
}

}  // namespace tav
