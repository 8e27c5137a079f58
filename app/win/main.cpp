#include "app/win/SaverApp.h"
#include "platform/Text.h"

#include <windows.h>

#include <cstdlib>

namespace {

std::vector<std::string> Arguments()
{
    std::vector<std::string> args;
    // The runtime splits the command line; the program name is left out.
    for (int i = 1; i < __argc && __wargv; ++i)
        args.push_back(Narrow(__wargv[i]));
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    static SaverApp theApp(Arguments());
    return theApp.Main();
}
