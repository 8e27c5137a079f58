#pragma once
#include "board/PlayCycle.h"

#include <cstdint>

struct Settings;

// What the strip shows instead of the pictures.
struct StripFill {
    bool emptyCells = false;     // BlankOption
    bool pieces = false;         // DoviOption
    std::uint32_t colour = 0;    // BCCol as 0x00RRGGBB
};

// Everything a board takes from its settings, in screen terms: the same
// description whether it comes from the registry or the module's options.
struct BoardLook {
    int cellSize = 32;  // pixels on this screen
    PlayOptions play;
    StripFill fill;
    int stepMs = 50;    // AnimIntrvl: one animation step
};

// The look of a board on a display of `dpi`: CellSize is meant at 96 DPI.
BoardLook LookOf(const Settings& settings, int dpi);
