// Windows only: this program's UTF-8 paths as the wide strings the Windows file API takes, and
// Windows error codes as text for messages.
#pragma once
#ifdef _WIN32
#include <string>

namespace jet::windows {

std::wstring widePath(const std::string& utf8);
// The system's description of a GetLastError() code, e.g. "Access is denied. (error 5)".
std::string errorText(unsigned long code);

} // namespace jet::windows
#endif
