#include "platform/Text.h"

#include <windows.h>

#include <climits>

std::wstring WidenCodePage(const std::string& bytes, unsigned codePage)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX))
        return std::wstring();
    const int inLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), inLength, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), inLength, &wide[0], length);
    return wide;
}

std::wstring Widen(const std::string& utf8)
{
    return WidenCodePage(utf8, CP_UTF8);
}

std::string Narrow(const std::wstring& utf16)
{
    if (utf16.empty() || utf16.size() > static_cast<std::size_t>(INT_MAX / 3))
        return std::string();
    const int inLength = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

std::wstring ResourceString(unsigned id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
