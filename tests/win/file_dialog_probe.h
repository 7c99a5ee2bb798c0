// Reading the platform's file dialogs from the test program.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tests/uia/uia.h"

// The entries of a file dialog's file-type list (control 0x470). The list is
// a Unicode window, so it is read with the wide messages and converted to
// the ANSI code page.
inline std::vector<std::string> FileTypes(HWND dialog) {
    std::vector<std::string> items;
    HWND combo = uia::FindControl(dialog, 0x470);
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) continue;
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(::wcsnlen(wide.c_str(), wide.size()));
        std::string text(wide.size() * 2 + 1, '\0');
        const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                            text.data(), static_cast<int>(text.size()), nullptr,
                                            nullptr);
        text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        items.push_back(text);
    }
    return items;
}
