#include "platform/FileDialog.h"

#include "platform/App.h"
#include "platform/Text.h"
#include "platform/Window.h"

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

FileDialog::FileDialog(bool openFileDialog, const std::string& defaultExt, const std::string& fileName, DWORD flags,
                       const std::string& filter, HWND parent)
    : m_bOpen(openFileDialog), m_defaultExt(defaultExt), m_fileName(fileName), m_flags(flags), m_filter(filter),
      m_hParent(parent)
{
}

INT_PTR FileDialog::DoModal()
{
    HWND owner = m_hParent;
    if (!owner) {
        App* app = App::Current();
        if (app && app->MainWindow())
            owner = GetAncestor(app->MainWindow()->Handle(), GA_ROOT);
    }

    // Room for long paths; an initial name that does not fit is dropped.
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring initial = Widen(m_fileName);
    if (initial.size() < buffer.size())
        initial.copy(buffer.data(), initial.size());

    const std::wstring filter = FileFilterText(m_filter);
    const std::wstring defaultExt = Widen(m_defaultExt);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;

    const BOOL ok = m_bOpen ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!ok)
        return IDCANCEL;
    m_path = Narrow(buffer.data());
    return IDOK;
}
