#pragma once
#include <string>

// UTF-8 inside, UTF-16 at the Win32 API. Invalid sequences become U+FFFD
// rather than failing, so a damaged registry value or path still converts.
std::wstring Widen(const std::string& utf8);
// Text in another code page, such as CP_ACP for play lists.
std::wstring WidenCodePage(const std::string& bytes, unsigned codePage);
std::string Narrow(const std::wstring& utf16);

// A string of the program's string table; empty when there is none.
std::wstring ResourceString(unsigned id);
