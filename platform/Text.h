#pragma once
#include <string>

// UTF-8 inside, UTF-16 at the Win32 API. Invalid sequences become U+FFFD
// rather than failing, so a damaged registry value or path still converts.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
