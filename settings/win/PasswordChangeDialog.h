#pragma once
#include "platform/Dialog.h"

class RegistryRoot;

// Sets the saver's own password: a new one typed twice. The current one is
// not asked for.
class PasswordChangeDialog : public Dialog {
public:
    // Stores into the current user's registry unless told otherwise.
    explicit PasswordChangeDialog(HWND owner = nullptr, RegistryRoot* registry = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void FocusItem(int id);

    RegistryRoot* m_pRegistry;
};
