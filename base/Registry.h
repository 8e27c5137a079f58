#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The registry as the settings store sees it. The Win32 layer implements it
// on the real registry; the tests use a table.

enum class RegValueType {
    Missing,    // no such value, or it could not be read
    Text,       // REG_SZ (or REG_EXPAND_SZ, taken as it is)
    Other,      // any other type: DWORD, binary, multi-string...
};

enum class RegAccess { Read, Write };

class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // The stored text up to its first zero, as UTF-8; `text` is set only
    // when the result is Text.
    virtual RegValueType QueryText(const std::string& name, std::string& text) = 0;

    // The first `maxBytes` bytes of the stored data whatever its type;
    // `bytes` is set unless the result is Missing.
    virtual RegValueType QueryBytes(const std::string& name, std::size_t maxBytes,
                                    std::vector<unsigned char>& bytes) = 0;

    // Stores the text as REG_SZ, terminator included. Failures are silent.
    virtual void SetText(const std::string& name, const std::string& text) = 0;
};

class RegistryRoot {
public:
    virtual ~RegistryRoot() = default;

    // Opens the key under the current user, creating it empty when absent;
    // null when that fails.
    virtual std::unique_ptr<RegistryKey> CreateKey(const std::string& path, RegAccess access) = 0;

    // Opens an existing key; null when it is absent or cannot be opened.
    virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& path, RegAccess access) = 0;
};
