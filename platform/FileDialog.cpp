#include "platform/FileDialog.h"

#include "platform/Text.h"

#include <commdlg.h>

#include <vector>

std::wstring FileFilterText(const std::string& filter)
{
    std::wstring text = Widen(filter);
    for (wchar_t& c : text)
        if (c == L'|')
            c = L'\0';
    // Two terminating zeros whatever the caller wrote.
    text.push_back(L'\0');
    text.push_back(L'\0');
    return text;
}

std::optional<std::string> OpenFileDialog(HWND owner, const std::string& defaultExt, const std::string& fileName,
                                          const std::string& filter, DWORD flags)
{
    // Room for long paths; an initial name that does not fit is dropped.
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring initial = Widen(fileName);
    if (initial.size() < buffer.size())
        initial.copy(buffer.data(), initial.size());

    const std::wstring filterText = FileFilterText(filter);
    const std::wstring ext = Widen(defaultExt);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filterText.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = flags | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn))
        return std::nullopt;
    return Narrow(buffer.data());
}
