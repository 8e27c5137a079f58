#include "x11/PixelCanvas.h"

#include "base/ByteSource.h"
#include "image/CDIB.h"
#include "image/DibPixels.h"
#include "image/PieceLayout.h"

#include <algorithm>

namespace {

// An 8-bit channel to `bits` bits, rounded: full stays full, at any width.
std::uint32_t Channel(std::uint32_t value, int bits)
{
    if (bits == 8)
        return value;
    const std::uint32_t top = (1u << bits) - 1;
    return (value * top + 127) / 255;
}

// Beyond this many areas a step's damage is put as one box: a new board
// is one image, not a request a cell.
constexpr std::size_t kMaxDamageAreas = 64;

} // namespace

std::uint32_t PixelOf(const PixelFormat& format, std::uint32_t rgb)
{
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    if (format.cubeLevels > 1) {
        const std::uint32_t n = static_cast<std::uint32_t>(format.cubeLevels);
        const auto level = [n](std::uint32_t v) { return (v * (n - 1) + 127) / 255; };
        const std::size_t index = (level(r) * n + level(g)) * n + level(b);
        return index < format.cube.size() ? format.cube[index] : 0;
    }
    return Channel(r, format.redBits) << format.redShift | Channel(g, format.greenBits) << format.greenShift |
           Channel(b, format.blueBits) << format.blueShift | format.alwaysSet;
}

bool PixelCanvas::LoadImage(ByteSource& file, std::string& why)
{
    m_image.clear();
    m_frames = 0;
    CDIB dib;
    ImageRefusal refusal;
    if (!dib.Read(file, &refusal)) {
        why = EnglishRefusal(refusal);
        return false;
    }
    const int frames = PieceImageFrames(dib.GetWidth(), dib.GetHeight(), refusal);
    if (frames < 1) {
        why = EnglishRefusal(refusal);
        return false;
    }
    m_image = DibPixels(dib);
    m_frames = frames;
    return true;
}

void PixelCanvas::SetPixels(std::uint32_t* pixels, int width, int height, int stride)
{
    m_pixels = pixels;
    m_width = pixels ? std::max(width, 0) : 0;
    m_height = pixels ? std::max(height, 0) : 0;
    m_stride = stride;
}

int PixelCanvas::PrepareStrip(int cellSize, const StripFill& fill)
{
    if (m_frames < 1 || cellSize < 1 || cellSize > kMaxCellPixels)
        return 0;
    m_cellSize = cellSize;
    const std::size_t area = static_cast<std::size_t>(cellSize) * cellSize;
    m_strip.assign(kStripSlots * area, 0);
    for (int slot = 0; slot < kAnimSlot; ++slot)
        ScaleInto(slot, SlotImageRow(slot), 0);
    const std::uint32_t pixel = PixelOf(m_format, fill.colour & 0xFFFFFF);
    if (fill.emptyCells)
        std::fill_n(m_strip.begin(), area, pixel);
    if (fill.pieces)
        std::fill(m_strip.begin() + static_cast<std::ptrdiff_t>(area),
                  m_strip.begin() + static_cast<std::ptrdiff_t>(kAnimSlot * area), pixel);
    return m_frames;
}

void PixelCanvas::ShowFrame(int row, int column)
{
    if (m_cellSize > 0 && column >= 0 && column < m_frames && row >= 0 && row < kPieceImageHeight / kPieceCell)
        ScaleInto(kAnimSlot, row, column);
}

void PixelCanvas::ScaleInto(int slot, int row, int column)
{
    // Whole source pixels, as the Windows board's stretch mode keeps them.
    const int size = m_cellSize;
    const int width = m_frames * kPieceCell;
    std::uint32_t* dst = &m_strip[static_cast<std::size_t>(slot) * size * size];
    for (int y = 0; y < size; ++y) {
        const std::uint32_t* src =
            &m_image[static_cast<std::size_t>(row * kPieceCell + y * kPieceCell / size) * width + column * kPieceCell];
        for (int x = 0; x < size; ++x)
            *dst++ = PixelOf(m_format, src[x * kPieceCell / size]);
    }
}

void PixelCanvas::DrawSlot(int slot, int x, int y)
{
    const int size = m_cellSize;
    if (!m_pixels || size < 1 || slot < 0 || slot >= kStripSlots || x < 0 || y < 0 || x + size > m_width ||
        y + size > m_height)
        return;
    const std::uint32_t* src = &m_strip[static_cast<std::size_t>(slot) * size * size];
    for (int row = 0; row < size; ++row)
        std::copy_n(src + static_cast<std::size_t>(row) * size, size,
                    m_pixels + static_cast<std::size_t>(y + row) * m_stride + x);
    AddDamage({x, y, x + size, y + size});
}

void PixelCanvas::FillArea(const ScreenRect& area)
{
    const ScreenRect r{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, m_width),
                       std::min(area.bottom, m_height)};
    if (!m_pixels || r.left >= r.right || r.top >= r.bottom)
        return;
    const std::uint32_t black = PixelOf(m_format, 0);
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(m_pixels + static_cast<std::size_t>(y) * m_stride + r.left, r.right - r.left, black);
    AddDamage(r);
}

void PixelCanvas::AddDamage(const ScreenRect& area)
{
    if (m_damage.size() < kMaxDamageAreas) {
        m_damage.push_back(area);
        return;
    }
    ScreenRect box = area;
    for (const ScreenRect& r : m_damage)
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    m_damage.assign(1, box);
}
