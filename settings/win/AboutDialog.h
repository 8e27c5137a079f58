#pragma once
#include "platform/Dialog.h"

// The program's icon, name and version; nothing to set or read.
class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent = nullptr);
};
