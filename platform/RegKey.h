#pragma once
#include <windows.h>

#include <string>
#include <vector>

// An owned registry key: closed on destruction, movable, never copied.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_key(key) {}
    ~RegKey() { Close(); }

    RegKey(RegKey&& other) noexcept : m_key(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegCreateKeyExW: opens the key, creating it when absent. An empty key
    // on failure.
    static RegKey Create(HKEY parent, const std::wstring& path, REGSAM access);
    // RegOpenKeyExW: an existing key only.
    static RegKey Open(HKEY parent, const std::wstring& path, REGSAM access);

    bool IsOpen() const { return m_key != nullptr; }
    explicit operator bool() const { return IsOpen(); }
    HKEY Get() const { return m_key; }
    HKEY Release();
    void Close();

    // The whole value, whatever its size; false when it is missing or
    // cannot be read.
    bool QueryValue(const std::wstring& name, DWORD& type, std::vector<BYTE>& data) const;
    bool SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size);
    // REG_SZ with its terminating zero counted in the stored length.
    bool SetString(const std::wstring& name, const std::wstring& text);

private:
    HKEY m_key = nullptr;
};
