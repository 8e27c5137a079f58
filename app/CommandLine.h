#pragma once
#include <string>
#include <vector>

// True when the argument names the switch: one leading '-' or '/' is
// skipped, the rest equals the key without regard to case. The colon form
// "/c:1234" (the handle after a colon, as newer display settings pass it)
// names the switch too.
bool MatchSwitch(const std::string& arg, const std::string& key);

// The runtime's atol: blanks skipped, a sign, digits up to the first other
// character; no digits give 0. Saturates at the 32-bit range instead of
// overflowing.
long AtoL(const std::string& text);

enum class SaverMode { Configure, Preview, FullScreen, ChangePassword, None };

struct StartRequest {
    SaverMode mode = SaverMode::None;
    bool hasHandle = false;  // a window handle came with the switch
    long handle = 0;
};

// The mode the arguments (without the program name) ask for, tested in the
// order c, p, s, a; no argument at all is configure. The handle comes from
// the colon form or else from the second argument.
StartRequest ParseCommandLine(const std::vector<std::string>& args);
