#pragma once
#include <string>
#include <vector>

// True when the argument names the switch: one leading '-' or '/' is
// skipped, the rest equals the key without regard to case.
bool MatchSwitch(const std::string& arg, const std::string& key);

// The form newer display settings pass, "/c:1234": '-' or '/', the key, a
// colon and the handle's digits, nothing else. A path such as C:\pic.bmp
// is not one. True with the handle in `handle`.
bool MatchColonSwitch(const std::string& arg, const std::string& key, long& handle);


enum class SaverMode { Configure, Preview, FullScreen, ChangePassword, None };

struct StartRequest {
    SaverMode mode = SaverMode::None;
    bool hasHandle = false;  // a window handle came with the switch
    long handle = 0;
};

// The mode the arguments (without the program name) ask for, tested in the
// order c, p, s, a; no argument at all is configure. The handle comes from
// the colon form (c, p and a only) or else from the second argument.
StartRequest ParseCommandLine(const std::vector<std::string>& args);
