// Text crosses from the ANSI code page to UTF-16 only at the API boundary.
#pragma once

#include <string>

namespace tav {

// The ANSI text as UTF-16 (for COM, BSTRs and the few wide-only interfaces).
std::wstring WidenAnsi(const std::string& text);

}  // namespace tav
