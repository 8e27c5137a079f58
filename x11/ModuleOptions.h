#pragma once
#include "board/BoardLook.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the module draws: a window named on the command line, the root
// window (or, with -root, the daemon's XSCREENSAVER_WINDOW), or a window of
// its own.
enum class DrawTarget { OwnWindow, Root, WindowId };

// The command line of the module: the standard options of XScreenSaver's
// modules and the settings dialog's options.
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
    std::string fillColourName;    // a colour name for X to look up; wins over fillColour
    std::string image;             // empty: the built-in piece image

    // The X side: empty means the default.
    std::string display;
    std::string geometry;          // our own window's size and place
    std::string visual;            // our own window's visual: a class name or an id
    bool install = false;          // a colormap of our own
    bool mono = false;
    bool sync = false;
};

struct ParsedOptions {
    ModuleOptions options;
    // One line each, for standard error: a bad value and the default kept.
    std::vector<std::string> messages;
    // Unknown or ambiguous option, missing value, or --help: print the usage and end.
    bool showUsage = false;
};

// `args` without the program name; options take one or two dashes and may
// be shortened while they stay unique, as with every X program.
// `saverWindow` is XSCREENSAVER_WINDOW or null; only -root heeds it.
ParsedOptions ParseModuleOptions(const std::vector<std::string>& args, const char* saverWindow);

// "rrggbb" or "#rrggbb" as 0x00RRGGBB; false for anything else.
bool ParseHexColour(const std::string& text, std::uint32_t& out);

// The board the options ask for; the fill colour as given in hex.
BoardLook ModuleLook(const ModuleOptions& options);

// Microseconds between two animation steps of `milliseconds`: never
// shorter than the -delay the daemon asks for.
long StepInterval(const ModuleOptions& options, int milliseconds);

extern const char kModuleUsage[];
