#include "common/win/shell_ops.h"

#include <shellapi.h>

namespace tav {

bool ShellOperationOnContents(HWND owner, UINT operation, const std::string& folder,
                              const std::string* destination) {
    std::string from = folder + "\\*.*";
    from.append(2, '\0');
    std::string to;
    if (destination) {
        to = *destination;
        to.append(1, '\0');  // the string's own terminator makes the second
    }
    SHFILEOPSTRUCTA request{};
    request.hwnd = owner;
    request.wFunc = operation;
    request.pFrom = from.c_str();
    request.pTo = destination ? to.c_str() : nullptr;
    request.fFlags = FOF_NOCONFIRMATION;
    const int result = ::SHFileOperationA(&request);
    return request.fAnyOperationsAborted != FALSE || result != 0;
}

}  // namespace tav
