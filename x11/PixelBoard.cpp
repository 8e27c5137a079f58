#include "x11/PixelBoard.h"

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

PixelBoard::PixelBoard(RandomSource& random, const PixelFormat& format) : m_format(format), m_game(random) {}

bool PixelBoard::LoadImage(ByteSource& file, std::string& why)
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

void PixelBoard::ScaleInto(int slot, int row, int column)
{
    // Whole source pixels, as the Windows board's stretch mode keeps them.
    const int size = m_layout.cellSize;
    const int width = m_frames * kPieceCell;
    std::uint32_t* dst = &m_strip[static_cast<std::size_t>(slot) * size * size];
    for (int y = 0; y < size; ++y) {
        const std::uint32_t* src =
            &m_image[static_cast<std::size_t>(row * kPieceCell + y * kPieceCell / size) * width + column * kPieceCell];
        for (int x = 0; x < size; ++x)
            *dst++ = PixelOf(m_format, src[x * kPieceCell / size]);
    }
}

void PixelBoard::FillSlot(int slot, std::uint32_t pixel)
{
    const std::size_t area = static_cast<std::size_t>(m_layout.cellSize) * m_layout.cellSize;
    std::fill_n(m_strip.begin() + static_cast<std::ptrdiff_t>(slot * area), area, pixel);
}

const Damage& PixelBoard::Reset(std::uint32_t* pixels, int width, int height, int stride)
{
    m_pixels = pixels;
    m_width = pixels ? std::max(width, 0) : 0;
    m_height = pixels ? std::max(height, 0) : 0;
    m_stride = stride;
    m_dealt = false;
    m_frameShown = false;
    m_layout = LayOutBoard(m_width, m_height, m_look.cellSize, kMaxCellPixels);
    m_game.SetOptions(m_look.play);
    if (Loaded()) {
        const int size = m_layout.cellSize;
        m_strip.assign(static_cast<std::size_t>(kAnimSlot + 1) * size * size, 0);
        for (int slot = 0; slot < kAnimSlot; ++slot)
            ScaleInto(slot, SlotImageRow(slot), 0);
        const std::uint32_t fill = PixelOf(m_format, m_look.fillColour & 0xFFFFFF);
        if (m_look.fillEmpty)
            FillSlot(0, fill);
        if (m_look.fillPieces)
            for (int slot = 1; slot < kAnimSlot; ++slot)
                FillSlot(slot, fill);
    }
    m_game.SetFrames(Loaded() ? m_frames : 0);
    m_game.Resize(m_layout.cols, m_layout.rows);
    Show(m_game.NewBoard());
    if (!m_damage.all)
        PaintAll();  // no board: black
    m_damage.all = true;
    m_damage.cells.clear();
    return m_damage;
}

const Damage& PixelBoard::Tick()
{
    return Show(m_game.Tick());
}

const Damage& PixelBoard::Show(const PlayReport& report)
{
    m_damage.all = false;
    m_damage.cells.clear();
    m_damage.restartTimer = report.restartTimer;
    m_damage.stopTimer = report.stopTimer;
    const Board& board = m_game.GetBoard();
    if (report.frameShown && report.frame >= 0 && report.frame < m_frames) {
        ScaleInto(kAnimSlot, report.disappearing ? DisappearRow(report.kind) : SelectRow(report.kind), report.frame);
        m_frameShown = true;
        const GroupBox& group = board.Group();
        for (int x = group.left; x <= group.right; ++x)
            for (int y = group.top; y <= group.bottom; ++y)
                if (board.Cell(x, y) & Board::kMark)
                    m_damage.cells.push_back(CellRect(x, y));
    }
    if (report.removed) {
        m_frameShown = false;
        for (const GridPos& changed : report.changed)
            m_damage.cells.push_back(CellRect(changed.x, changed.y));
    }
    if (report.dealt) {
        m_dealt = true;
        m_frameShown = false;
        PaintAll();
        m_damage.all = true;
        m_damage.cells.clear();
        return m_damage;
    }
    for (const PixelRect& rect : m_damage.cells)
        PaintCell((rect.x - m_layout.offsetX) / m_layout.cellSize, (rect.y - m_layout.offsetY) / m_layout.cellSize);
    return m_damage;
}

PixelRect PixelBoard::CellRect(int x, int y) const
{
    const int size = m_layout.cellSize;
    return {m_layout.offsetX + x * size, m_layout.offsetY + y * size, size, size};
}

void PixelBoard::PaintAll()
{
    for (int y = 0; y < m_height; ++y)
        std::fill_n(m_pixels + static_cast<std::size_t>(y) * m_stride, m_width, PixelOf(m_format, 0));
    if (!m_dealt || !Loaded())
        return;
    const Board& board = m_game.GetBoard();
    for (int x = 0; x < board.Cols(); ++x)
        for (int y = 0; y < board.Rows(); ++y)
            PaintCell(x, y);
}

void PixelBoard::PaintCell(int x, int y)
{
    const Board& board = m_game.GetBoard();
    if (!m_dealt || !Loaded() || x < 0 || y < 0 || x >= board.Cols() || y >= board.Rows())
        return;
    const std::uint8_t cell = board.Cell(x, y);
    int slot = cell & Board::kKindMask;
    if (slot >= kAnimSlot)
        return;
    if (m_frameShown && (cell & Board::kMark))
        slot = kAnimSlot;
    const int size = m_layout.cellSize;
    const PixelRect rect = CellRect(x, y);
    const std::uint32_t* src = &m_strip[static_cast<std::size_t>(slot) * size * size];
    for (int row = 0; row < size; ++row)
        std::copy_n(src + static_cast<std::size_t>(row) * size, size,
                    m_pixels + static_cast<std::size_t>(rect.y + row) * m_stride + rect.x);
}
