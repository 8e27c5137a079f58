#include "app/CommandLine.h"
#include "app/win/Modes.h"
#include "platform/CrtRandom.h"
#include "platform/Text.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <ctime>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Common controls 6 (our manifest) need this before the first dialog.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    CrtRandom::Seed(static_cast<unsigned>(std::time(nullptr)));

    // The runtime splits the command line; the program name is left out.
    std::vector<std::string> args;
    for (int i = 1; i < __argc && __wargv; ++i)
        args.push_back(Narrow(__wargv[i]));
    RunMode(ParseCommandLine(args));
    return 0;
}
