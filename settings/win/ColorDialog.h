#pragma once
#include <windows.h>

#include "settings/DialogValues.h"

#include <cstdint>
#include <optional>

class PieceImage;

// Chooses the fill colour (0x00BBGGRR) with three bars, or by picking it
// from two enlarged cells of the piece image; pieces without an image leave
// the image boxes empty. The colour after OK, nothing otherwise.
std::optional<std::uint32_t> ChooseFillColour(HWND owner, std::uint32_t colour, const PieceImage& pieces);

// The areas of an open colour dialog, in client pixels at its DPI.
ColourAreas OpenColourDialogAreas(HWND dialog);
