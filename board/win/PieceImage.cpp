#include "board/win/PieceImage.h"

#include "image/PieceLayout.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "res/StringIds.h"

#include <cstddef>

// The image's blocks go straight to the drawing and palette calls.
static_assert(sizeof(DibInfoHeader) == sizeof(BITMAPINFOHEADER), "info header");
static_assert(offsetof(DibInfoHeader, biClrUsed) == offsetof(BITMAPINFOHEADER, biClrUsed), "info header");
static_assert(offsetof(DibInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors), "colour table");
static_assert(sizeof(DibQuad) == sizeof(RGBQUAD) && offsetof(DibQuad, rgbRed) == offsetof(RGBQUAD, rgbRed),
              "colour entry");
static_assert(offsetof(DibLogPalette, palPalEntry) == offsetof(LOGPALETTE, palPalEntry), "palette");

namespace {

const BITMAPINFO* Info(const CDIB& dib)
{
    return reinterpret_cast<const BITMAPINFO*>(dib.Info());
}

} // namespace

void PieceImage::Unload()
{
    // A palette in use cannot be deleted.
    m_paletteSelected.reset();
    m_palette.Reset();
    m_dib.reset();
    m_refusal = ImageRefusal();
    m_frames = 0;
    m_cellSize = 0;
}

bool PieceImage::Load(const std::string& path)
{
    Unload();
    Win32FileSource file;
    if (!file.Open(path, Win32FileSource::Sharing::Exclusive)) {
        m_refusal.fault = ImageFault::CannotOpen;
        return false;
    }
    return Load(file);
}

bool PieceImage::LoadBuiltIn()
{
    Unload();
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_PIECE_IMAGE), RT_RCDATA);
    HGLOBAL resource = found ? LoadResource(module, found) : nullptr;
    const void* bytes = resource ? LockResource(resource) : nullptr;
    if (!bytes) {
        m_refusal.fault = ImageFault::CannotOpen;
        return false;
    }
    MemoryByteSource file(bytes, SizeofResource(module, found));
    return Load(file);
}

bool PieceImage::Load(ByteSource& file)
{
    auto dib = std::make_unique<CDIB>();
    if (!dib->Read(file, &m_refusal))
        return false;
    // An image without a frame column has nothing to animate.
    const int frames = PieceImageFrames(dib->GetWidth(), dib->GetHeight(), m_refusal);
    if (frames < 1)
        return false;

    if (!m_stripDC) {
        m_refusal.fault = ImageFault::OutOfMemory;
        return false;
    }
    // A palette only for a 256-colour table; deeper images draw as they are.
    if (dib->BuildLogPalette()) {
        m_palette.Reset(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&dib->LogPalette())));
        if (m_palette)
            m_paletteSelected.emplace(m_stripDC.Handle(), m_palette.Get());
    }
    m_dib = std::move(dib);
    m_frames = frames;
    return true;
}

bool PieceImage::PrepareStrip(int cellSize, const StripFill& fill)
{
    if (!Loaded() || cellSize < 1 || cellSize > kMaxCellPixels)
        return false;
    // The strip holds the cells in use, no more: a large cell on a display
    // of high DPI must not cost every small board its memory.
    if (!m_strip || cellSize != m_stripCell) {
        m_stripSelected.reset();
        m_stripCell = 0;
        m_cellSize = 0;
        // Compatible with the screen, like every window the strip is copied to.
        HDC screen = GetDC(nullptr);
        m_strip.Reset(CreateCompatibleBitmap(screen, kStripSlots * cellSize, cellSize));
        ReleaseDC(nullptr, screen);
        if (!m_strip)
            return false;
        m_stripSelected.emplace(m_stripDC.Handle(), m_strip.Get());
        m_stripCell = cellSize;
        // Whole source pixels, never blends: the pictures stay sharp when
        // enlarged, and shrinking does not merge pixels into darker ones.
        SetStretchBltMode(m_stripDC.Handle(), COLORONCOLOR);
    }
    m_cellSize = cellSize;
    for (int slot = 0; slot < kAnimSlot; ++slot)
        ScaleInto(slot, SlotImageRow(slot), 0);
    GdiBrush brush(CreateSolidBrush(RGB(fill.colour >> 16 & 0xFF, fill.colour >> 8 & 0xFF, fill.colour & 0xFF)));
    if (fill.emptyCells && brush) {
        const RECT rect{0, 0, cellSize, cellSize};
        FillRect(m_stripDC.Handle(), &rect, brush.Get());
    }
    if (fill.pieces && brush) {
        const RECT rect{cellSize, 0, 6 * cellSize, cellSize};
        FillRect(m_stripDC.Handle(), &rect, brush.Get());
    }
    return true;
}

void PieceImage::ShowFrame(int row, int column)
{
    if (Loaded() && m_cellSize > 0 && column >= 0 && column < m_frames && row >= 0 &&
        row < kPieceImageHeight / kPieceCell)
        ScaleInto(kAnimSlot, row, column);
}

void PieceImage::ScaleInto(int slot, int row, int column)
{
    StretchDIBits(m_stripDC.Handle(), slot * m_cellSize, 0, m_cellSize, m_cellSize, column * kPieceCell,
                  PieceRowBottom(row), kPieceCell, kPieceCell, m_dib->Bits(), Info(*m_dib),
                  DIB_RGB_COLORS, SRCCOPY);
}

void PieceImage::CopySlot(HDC dc, int slot, int x, int y) const
{
    BitBlt(dc, x, y, m_cellSize, m_cellSize, m_stripDC.Handle(), slot * m_cellSize, 0, SRCCOPY);
}

PieceImagePlaces OurPieceImagePlaces()
{
    PieceImagePlaces places;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            break;
        if (length < path.size()) {
            path.resize(length);
            const std::size_t slash = path.find_last_of(L"\\/");
            if (slash != std::wstring::npos)
                places.saverFolder = Narrow(path.substr(0, slash));
            break;
        }
        if (path.size() >= 32768)
            break;
        path.resize(path.size() * 2);
    }
    WinRegistry machine(HKEY_LOCAL_MACHINE);
    places.installFolder = ReadInstallFolder(machine);
    return places;
}
