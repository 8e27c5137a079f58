#pragma once
#include "board/BoardLayout.h"
#include "board/PlayCycle.h"

#include <cstdint>
#include <string>
#include <vector>

class ByteSource;

// How a colour 0x00RRGGBB becomes a pixel value of the display: where each
// channel goes and how many bits it has (5, 6, 8, 10...), and bits that are
// always set (alpha). A display with a colormap gives a colour cube instead:
// `cubeLevels` per channel, and the pixel of each entry, red major.
struct PixelFormat {
    int redShift = 16;
    int greenShift = 8;
    int blueShift = 0;
    std::uint32_t alwaysSet = 0;
    int redBits = 8;
    int greenBits = 8;
    int blueBits = 8;
    int cubeLevels = 0;
    std::vector<std::uint32_t> cube;
};
std::uint32_t PixelOf(const PixelFormat& format, std::uint32_t rgb);

// What the board takes from the options.
struct BoardLook {
    int cellSize = 32;
    PlayOptions play;
    bool fillEmpty = false;   // BlankOption
    bool fillPieces = false;  // DoviOption
    std::uint32_t fillColour = 0;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What a step changed on the canvas and what the step timer does next.
struct Damage {
    bool all = false;
    std::vector<PixelRect> cells;
    bool restartTimer = false;
    bool stopTimer = false;
};

// A board of pieces painted into a block of 32-bit pixels that someone
// else owns (a shared-memory image, a test's buffer): the same game, strip
// of pictures and painting as the Windows board window, with plain pixels
// instead of device contexts. Play draws from the random source given.
class PixelBoard {
public:
    PixelBoard(RandomSource& random, const PixelFormat& format);

    // Reads and checks a piece image; on failure none stays loaded, the
    // board is black and still, and `why` says what was wrong.
    bool LoadImage(ByteSource& file, std::string& why);
    bool Loaded() const { return m_frames > 0; }
    int Frames() const { return m_frames; }

    // Takes effect with the next Reset.
    void SetLook(const BoardLook& look) { m_look = look; }
    // A new canvas (or a new look): lays out, scales the pictures, deals
    // and paints every pixel. `stride` counts pixels.
    const Damage& Reset(std::uint32_t* pixels, int width, int height, int stride);
    // One animation step, painted. The damage stays valid until the next.
    const Damage& Tick();

    const BoardLayout& Layout() const { return m_layout; }
    const PlayCycle& Game() const { return m_game; }

private:
    const Damage& Show(const PlayReport& report);
    void ScaleInto(int slot, int row, int column);
    void FillSlot(int slot, std::uint32_t pixel);
    void PaintAll();
    void PaintCell(int x, int y);
    PixelRect CellRect(int x, int y) const;

    PixelFormat m_format;
    PlayCycle m_game;
    BoardLook m_look;
    BoardLayout m_layout;
    std::vector<std::uint32_t> m_image;  // the piece image, 0x00RRGGBB, top row first
    int m_frames = 0;
    // Slots of cellSize x cellSize display pixels, one after the other:
    // 0 the empty cell, 1..5 the kinds at rest, 6 the animation frame.
    std::vector<std::uint32_t> m_strip;
    std::uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    bool m_dealt = false;
    bool m_frameShown = false;
    Damage m_damage;  // kept, so that play itself does not allocate
};
