#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where the module draws, in XScreenSaver's order of precedence: a window
// named on the command line, the daemon's XSCREENSAVER_WINDOW, the root
// window, or a window of its own.
enum class DrawTarget { OwnWindow, Root, WindowId };

// The command line of the module: XScreenSaver's conventions and the
// settings dialog's options.
struct ModuleOptions {
    DrawTarget target = DrawTarget::OwnWindow;
    unsigned long windowId = 0;
    long delay = 10000;            // microseconds: the shortest time between two steps
    bool fps = false;
    int cellSize = 32;             // CellSize, 1..128
    int kinds = 5;                 // CellNo
    int pattern = 1;               // CellArr: 1 random ... 5 vertical lines
    int speed = 50;                // AnimIntrvl: milliseconds per animation step
    bool stillFirstFrame = false;  // AnimBMPOption
    bool fillEmpty = false;        // BlankOption
    bool fillPieces = false;       // DoviOption
    std::uint32_t fillColour = 0;  // BCCol as 0x00RRGGBB
    std::string image;             // empty: the built-in piece image
};

struct ParsedOptions {
    ModuleOptions options;
    // One line each, for standard error: a bad value and the default kept.
    std::vector<std::string> messages;
    // Unknown option or --help: print the usage and end.
    bool showUsage = false;
};

// `args` without the program name; options take one or two dashes, as
// XScreenSaver's own modules do. `saverWindow` is XSCREENSAVER_WINDOW or null.
ParsedOptions ParseModuleOptions(const std::vector<std::string>& args, const char* saverWindow);

// Microseconds between two animation steps.
long StepInterval(const ModuleOptions& options);

extern const char kModuleUsage[];
