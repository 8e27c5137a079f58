#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The system's open-file dialog. The filter uses '|' between its parts
// ("BMP File |*.bmp||"); paths are UTF-8. The chosen full path on OK,
// nothing on Cancel.
std::optional<std::string> OpenFileDialog(HWND owner, const std::string& defaultExt, const std::string& fileName,
                                          const std::string& filter, DWORD flags);

// "a|b||" -> "a\0b\0\0": the form the system expects.
std::wstring FileFilterText(const std::string& filter);
