#pragma once
#include <windows.h>

class RegistryRoot;

// Sets the saver's own password: a new one typed twice, stored in the
// registry on OK. The current one is not asked for.
void ChangePassword(HWND owner, RegistryRoot& registry);
