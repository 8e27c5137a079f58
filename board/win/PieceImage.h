#pragma once
#include "image/CDIB.h"
#include "image/ImageRefusal.h"
#include "board/BoardLook.h"
#include "platform/Gdi.h"
#include "settings/SettingsStore.h"

#include <memory>
#include <optional>
#include <string>

// The piece image of one board: the bitmap as read, its palette, and the
// off-screen strip of pictures scaled to the cell size (slot 0 the empty
// cell, 1..5 the kinds at rest, 6 the animation frame now showing).
class PieceImage {
public:
    PieceImage() = default;
    PieceImage(const PieceImage&) = delete;
    PieceImage& operator=(const PieceImage&) = delete;

    // Reads and checks the file; on failure nothing stays loaded and
    // Refusal says why.
    bool Load(const std::string& path);
    // Our piece image, built into the program.
    bool LoadBuiltIn();
    bool Loaded() const { return m_dib != nullptr; }
    const ImageRefusal& Refusal() const { return m_refusal; }
    int Frames() const { return m_frames; }
    const CDIB* Dib() const { return m_dib.get(); }
    HPALETTE Palette() const { return m_palette.Get(); }

    // Scales the resting pictures into the strip at `cellSize` pixels
    // (1..kMaxCellPixels), making the strip anew for a new size.
    bool PrepareStrip(int cellSize, const StripFill& fill);
    // Scales frame `column` of image row `row` into the animation slot.
    void ShowFrame(int row, int column);
    // Copies a strip slot to a cell-sized square of `dc` at (x, y).
    void CopySlot(HDC dc, int slot, int x, int y) const;

private:
    void Unload();
    bool Load(ByteSource& file);
    void ScaleInto(int slot, int row, int column);

    std::unique_ptr<CDIB> m_dib;
    ImageRefusal m_refusal;
    int m_frames = 0;
    GdiPalette m_palette;
    GdiBitmap m_strip;
    // The strip lives in a memory context of its own, with the palette;
    // declared after them, the context and then the selections go first.
    MemoryDC m_stripDC;
    std::optional<PaletteGuard> m_paletteSelected;
    std::optional<SelectGuard> m_stripSelected;
    int m_stripCell = 0;  // the cell size the strip was made for
    int m_cellSize = 0;   // 0 until the strip holds pictures
};

// The folders our own piece image may lie in besides the current one: the
// running program's and the one the installer recorded.
PieceImagePlaces OurPieceImagePlaces();
