#pragma once
#include <windows.h>

#include <optional>
#include <string>

// How long the password question waits for typing.
constexpr UINT kPasswordIdleLimitMs = 8000;

// Asks for the saver's password before it closes: the text after OK,
// nothing after Cancel. Gives up as cancelled after the idle limit without
// typing, so an unattended saver goes on playing; tests shorten the limit.
std::optional<std::string> AskPassword(HWND owner, UINT idleLimitMs = kPasswordIdleLimitMs);
