#include "platform/RegKey.h"

#include <climits>
#include <utility>

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        m_key = other.Release();
    }
    return *this;
}

RegKey RegKey::Create(HKEY parent, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

RegKey RegKey::Open(HKEY parent, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

HKEY RegKey::Release()
{
    return std::exchange(m_key, nullptr);
}

void RegKey::Close()
{
    if (m_key)
        RegCloseKey(std::exchange(m_key, nullptr));
}

bool RegKey::QueryValue(const std::wstring& name, DWORD& type, std::vector<BYTE>& data) const
{
    if (!m_key)
        return false;
    // The value may grow between the size query and the read; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        const LONG result = RegQueryValueExW(m_key, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (result != ERROR_MORE_DATA)
            return false;
    }
    return false;
}

bool RegKey::SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    return m_key && RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool RegKey::SetString(const std::wstring& name, const std::wstring& text)
{
    const std::size_t chars = text.size() + 1;
    if (chars > static_cast<std::size_t>(UINT_MAX / sizeof(wchar_t)))
        return false;
    return SetValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(chars * sizeof(wchar_t)));
}
