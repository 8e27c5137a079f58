#pragma once
#include <windows.h>

#include <string>

// The system's open-file dialog. The filter uses '|' between its parts
// ("BMP File |*.bmp||"); paths are UTF-8. Without a parent the owner is
// the application's main window.
class FileDialog {
public:
    FileDialog(bool openFileDialog, const std::string& defaultExt, const std::string& fileName, DWORD flags,
               const std::string& filter, HWND parent = nullptr);

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }

private:
    bool m_bOpen;
    std::string m_defaultExt;
    std::string m_fileName;
    DWORD m_flags;
    std::string m_filter;
    HWND m_hParent;
    std::string m_path;
};

// "a|b||" -> "a\0b\0\0": the form the system expects.
std::wstring FileFilterText(const std::string& filter);
