#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "base/Registry.h"

// The registry interface on the real registry under one root key (the
// current user unless told otherwise). Texts are stored as REG_SZ.
class WinRegistry : public RegistryRoot {
public:
    explicit WinRegistry(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}
    std::unique_ptr<RegistryKey> CreateKey(const std::string& path, RegAccess access) override;
    std::unique_ptr<RegistryKey> OpenKey(const std::string& path, RegAccess access) override;

private:
    HKEY m_root;
};
