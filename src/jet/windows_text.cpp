// UTF-8 to UTF-16 for paths, and error descriptions, on Windows.
#ifdef _WIN32
#include "jet/windows_text.h"

#include <windows.h>

namespace jet::windows {

std::wstring widePath(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

std::string errorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result;
    if (length > 0) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        result.resize(size_t(n > 0 ? n : 0));
        if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), result.data(), n, nullptr, nullptr);
    }
    if (text) ::LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return (result.empty() ? std::string() : result + " ") + "(error " + std::to_string(code) + ")";
}

} // namespace jet::windows
#endif
