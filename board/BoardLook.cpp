#include "board/BoardLook.h"

#include "base/Settings.h"
#include "board/BoardLayout.h"

BoardLook LookOf(const Settings& settings, int dpi)
{
    BoardLook look;
    look.cellSize = CellPixels(settings.CellSize, dpi);
    look.play = {settings.CellArr, settings.CellNo, settings.AnimBMPOption != 0};
    look.fill.emptyCells = settings.BlankOption != 0;
    look.fill.pieces = settings.DoviOption != 0;
    // Stored as the system keeps colours, blue in the high byte; the top
    // byte would make it a palette index.
    const std::uint32_t c = settings.BCCol;
    look.fill.colour = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    look.stepMs = settings.AnimIntrvl;
    return look;
}
