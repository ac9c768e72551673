// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_error.hpp"

#include <windows.h>

#include "core/win32/win32_handle.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32 {
namespace {

class WindowsCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    // The system's description as FormatMessageW gives it, without the line
    // end it carries. (The C++ library's system_category asks for the ANSI
    // text and cuts the final full stop.)
    std::string message(int number) const override {
        SystemText buffer;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(number), 0,
                           reinterpret_cast<wchar_t*>(buffer.receive()), 0, nullptr);
        if (length == 0 || !buffer.valid()) return "Unknown error " + std::to_string(number);
        std::wstring text(buffer.get(), length);
        while (!text.empty() &&
               (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
            text.pop_back();
        return utf8(text);
    }

    std::error_condition default_error_condition(int number) const noexcept override {
        return std::system_category().default_error_condition(number);
    }
};

}  // namespace

const std::error_category& windowsCategory() {
    static const WindowsCategory category;
    return category;
}

void throwWindowsError(unsigned long number, const std::string& what) {
    throw std::system_error(static_cast<int>(number), windowsCategory(), what);
}

void throwLastError(const std::string& what) { throwWindowsError(GetLastError(), what); }

}  // namespace kelmor::win32
