#pragma once
#include "board/BoardPresenter.h"
#include "board/win/PieceImage.h"

#include <windows.h>

// The presenter's canvas on a device context: the piece image's strip
// copied with GDI. It draws only while a Target binds a context.
class GdiCanvas : public BoardCanvas {
public:
    explicit GdiCanvas(PieceImage& pieces) : m_pieces(pieces) {}

    // Binds `dc` for one scope, the piece image's palette selected.
    class Target {
    public:
        Target(GdiCanvas& canvas, HDC dc);
        ~Target() { m_canvas.m_dc = m_old; }
        Target(const Target&) = delete;
        Target& operator=(const Target&) = delete;

    private:
        GdiCanvas& m_canvas;
        HDC m_old;
        PaletteGuard m_palette;
    };

    int PrepareStrip(int cellSize, const StripFill& fill) override;
    void ShowFrame(int row, int column) override { m_pieces.ShowFrame(row, column); }
    void DrawSlot(int slot, int x, int y) override;
    void FillArea(const ScreenRect& area) override;

private:
    PieceImage& m_pieces;
    HDC m_dc = nullptr;
    int m_cellSize = 0;
};

// The step timer of a window: one timer id, started and stopped while the
// window lives.
class WindowStepTimer : public StepTimer {
public:
    explicit WindowStepTimer(UINT_PTR id) : m_id(id) {}
    void Attach(HWND window) { m_window = window; }
    void Start(int milliseconds) override;
    void Stop() override;

private:
    HWND m_window = nullptr;
    UINT_PTR m_id;
};
