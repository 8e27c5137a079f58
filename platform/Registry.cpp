#include "platform/Registry.h"

#include "platform/Files.h"

#include <cstring>
#include <utility>
#include <vector>

#include "platform/RegKey.h"
#include "platform/Text.h"

namespace {

REGSAM Sam(RegAccess access)
{
    return access == RegAccess::Read ? KEY_READ : KEY_WRITE;
}

class WinRegistryKey : public RegistryKey {
public:
    explicit WinRegistryKey(RegKey key) : m_key(std::move(key)) {}

    RegValueType QueryText(const std::string& name, std::string& text) override
    {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!m_key.QueryValue(Widen(name), type, data))
            return RegValueType::Missing;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return RegValueType::Other;
        // Hand-written data need not end in a zero nor have an even length.
        std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
        if (!wide.empty())
            std::memcpy(&wide[0], data.data(), wide.size() * sizeof(wchar_t));
        const std::size_t end = wide.find(L'\0');
        if (end != std::wstring::npos)
            wide.resize(end);
        text = Narrow(wide);
        return RegValueType::Text;
    }

    RegValueType QueryBytes(const std::string& name, std::size_t maxBytes,
                            std::vector<unsigned char>& bytes) override
    {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!m_key.QueryValue(Widen(name), type, data))
            return RegValueType::Missing;
        if (data.size() > maxBytes)
            data.resize(maxBytes);
        bytes.assign(data.begin(), data.end());
        return type == REG_SZ || type == REG_EXPAND_SZ ? RegValueType::Text : RegValueType::Other;
    }

    void SetText(const std::string& name, const std::string& text) override
    {
        m_key.SetString(Widen(name), Widen(text));
    }

private:
    RegKey m_key;
};

std::unique_ptr<RegistryKey> Wrap(RegKey key)
{
    if (!key)
        return nullptr;
    return std::make_unique<WinRegistryKey>(std::move(key));
}

} // namespace

std::unique_ptr<RegistryKey> WinRegistry::CreateKey(const std::string& path, RegAccess access)
{
    return Wrap(RegKey::Create(m_root, Widen(path), Sam(access)));
}

std::unique_ptr<RegistryKey> WinRegistry::OpenKey(const std::string& path, RegAccess access)
{
    return Wrap(RegKey::Open(m_root, Widen(path), Sam(access)));
}
