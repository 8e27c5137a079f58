#pragma once
#include <cstdint>

// The piece image holds 11 rows of 32-pixel pictures: the empty cell, then
// for each kind its selection row (column 0 is the piece at rest) and its
// disappearing row. Frame columns run across.
constexpr int kPieceCell = 32;
constexpr int kPieceImageHeight = 11 * kPieceCell;

// The off-screen strip: slot 0 the empty cell, 1..5 the kinds at rest,
// 6 the current animation frame, side by side, each one cell square.
constexpr int kAnimSlot = 6;
constexpr int kStripSlots = kAnimSlot + 1;
// The largest cell in pixels: the largest size setting, 128, at 500 %, the
// highest scale Windows offers. Its strip takes 4480 x 640 pixels.
constexpr int kMaxCellPixels = 640;

// Frame columns of an image of this size, or 0 when it cannot be used as
// a piece image (height not 352 as stored bottom-up, width not a positive
// multiple of 32).
int PieceImageFrames(int width, int height);

struct ImageRefusal;
// The same for a read image; 0 with the grid's reason in `refusal`.
int PieceImageFrames(int width, int height, ImageRefusal& refusal);

// Image rows of kind k's animations.
inline int SelectRow(int kind) { return 2 * kind - 1; }
inline int DisappearRow(int kind) { return 2 * kind; }

// The image row a strip slot is built from.
int SlotImageRow(int slot);

// Where image row `row` starts in the coordinates of the bitmap drawing
// call, whose origin is the bottom-left corner of a bottom-up image.
int PieceRowBottom(int row);

// A fill colour as plain red, green and blue: the top byte of a stored
// value would otherwise turn it into a palette index.
inline std::uint32_t FillColour(std::uint32_t colour)
{
    return colour & 0x00FFFFFF;
}
