#pragma once
#include "board/BoardPresenter.h"

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

// The presenter's canvas in a block of 32-bit pixels that someone else
// owns (a shared-memory image, a test's buffer): the piece image and its
// strip in display pixels, and the areas drawn since the last look, for
// the caller to put on the screen.
class PixelCanvas : public BoardCanvas {
public:
    explicit PixelCanvas(const PixelFormat& format) : m_format(format) {}

    // Reads and checks a piece image; on failure none stays loaded, the
    // board is black and still, and `why` says what was wrong.
    bool LoadImage(ByteSource& file, std::string& why);
    int Frames() const { return m_frames; }

    // The pixels to draw into; `stride` counts pixels. Null draws nothing.
    void SetPixels(std::uint32_t* pixels, int width, int height, int stride);

    // What was drawn since the last Clear: a few cells one by one, more as
    // the box around them.
    const std::vector<ScreenRect>& Damage() const { return m_damage; }
    void ClearDamage() { m_damage.clear(); }

    int PrepareStrip(int cellSize, const StripFill& fill) override;
    void ShowFrame(int row, int column) override;
    void DrawSlot(int slot, int x, int y) override;
    void FillArea(const ScreenRect& area) override;

private:
    void ScaleInto(int slot, int row, int column);
    void AddDamage(const ScreenRect& area);

    PixelFormat m_format;
    std::vector<std::uint32_t> m_image;  // the piece image, 0x00RRGGBB, top row first
    int m_frames = 0;
    // Slots of cellSize x cellSize display pixels, one after the other.
    std::vector<std::uint32_t> m_strip;
    int m_cellSize = 0;
    std::uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    std::vector<ScreenRect> m_damage;
};
