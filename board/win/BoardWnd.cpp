#include "board/win/BoardWnd.h"

#include "base/Dpi.h"
#include "image/PieceLayout.h"
#include "platform/Dpi.h"
#include "platform/Files.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <utility>

BoardWnd::BoardWnd(const SoundServices* sound)
    : m_sound(sound ? *sound
                    : SoundServices{m_soundDevices.mci, m_soundDevices.wave, m_soundDevices.files, m_random},
              ProgramPlayListPosition()),
      m_game(m_random)
{
}

BoardWnd::~BoardWnd()
{
    // Whether music is on or not: nothing may stay open for this window.
    m_sound.CloseMidi(m_sound.Midi());
}

bool BoardWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent)
{
    static const std::wstring className = RegisterWindowClass(
        CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    if (!CreateEx(exStyle, className, std::wstring(), style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent, 0))
        return false;
    m_soundDevices.mci.SetCallbackWindow(Handle());
    return true;
}

bool BoardWnd::Apply(const Settings& settings)
{
    const Settings old = std::exchange(m_settings, settings);
    const bool first = !m_applied;
    m_applied = true;
    m_game.SetOptions({settings.CellArr, settings.CellNo, settings.AnimBMPOption != 0});

    // Only what changed is redone: a new speed must not deal a new board.
    const bool music = settings.MIDI != old.MIDI || settings.BGMRandomPlay != old.BGMRandomPlay;
    if (first || music || settings.BGM != old.BGM || settings.Sound != old.Sound ||
        settings.Select != old.Select || settings.Disappear != old.Disappear) {
        if (!first && music)
            m_sound.StartMusic(false);
        m_sound.Apply(settings);
    }
    const bool image = first || !m_pieces.Loaded() || settings.Bitmap != m_loadedPath;
    if (image) {
        m_loadedPath.clear();
        if (LoadPieces(settings.Bitmap))
            m_loadedPath = settings.Bitmap;
    }
    if (image || settings.CellSize != old.CellSize || settings.BlankOption != old.BlankOption ||
        settings.DoviOption != old.DoviOption || settings.BCCol != old.BCCol ||
        settings.CellArr != old.CellArr || settings.CellNo != old.CellNo) {
        ResetLayout();
    } else if (settings.AnimIntrvl != old.AnimIntrvl && Handle() && m_dealt && !BlackedOut()) {
        SetTimer(Handle(), kAnimTimer, static_cast<UINT>(std::max(settings.AnimIntrvl, 0)), nullptr);
    }
    return m_pieces.Loaded();
}

bool BoardWnd::LoadPieces(const std::string& bitmap)
{
    WinFileSystem files;
    const PieceImageSource source = FindPieceImage(bitmap, OurPieceImagePlaces(), files);
    return source.builtIn ? m_pieces.LoadBuiltIn() : m_pieces.Load(source.path);
}

void BoardWnd::Pause(bool paused)
{
    if (!Handle())
        return;
    if (paused)
        KillTimer(Handle(), kAnimTimer);
    else if (m_dealt && !BlackedOut())
        SetTimer(Handle(), kAnimTimer, static_cast<UINT>(std::max(m_settings.AnimIntrvl, 0)), nullptr);
}

void BoardWnd::ResetLayout()
{
    if (Handle())
        KillTimer(Handle(), kAnimTimer);
    m_dealt = false;
    m_frameShown = false;
    RECT client{};
    if (Handle())
        GetClientRect(Handle(), &client);
    // The setting is meant at 96 DPI: the cells look the same size on any display.
    const int dpi = Handle() ? WindowDpi(Handle()) : kDefaultDpi;
    m_layout = LayOutBoard(client.right, client.bottom, CellPixels(m_settings.CellSize, dpi), kMaxCellPixels);
    const StripFill fill{m_settings.BlankOption != 0, m_settings.DoviOption != 0, FillColour(m_settings.BCCol)};
    const bool ready = m_pieces.PrepareStrip(m_layout.cellSize, fill);
    m_game.SetFrames(ready ? m_pieces.Frames() : 0);
    m_game.Resize(m_layout.cols, m_layout.rows);
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
    Show(m_game.NewBoard());
}

void BoardWnd::BlackOut()
{
    if (Handle())
        KillTimer(Handle(), kAnimTimer);
    m_game.BlackOut();
    if (m_settings.BGM)
        m_sound.CloseMidi(m_sound.Midi());
    if (Handle()) {
        InvalidateRect(Handle(), nullptr, FALSE);
        UpdateWindow(Handle());
    }
}

void BoardWnd::Wake()
{
    ResetLayout();
    if (m_settings.BGM)
        m_sound.Restart();
}

void BoardWnd::Show(const PlayReport& report)
{
    if (!Handle())
        return;
    if (report.stopTimer)
        KillTimer(Handle(), kAnimTimer);
    if (report.wave != Wave::None)
        m_sound.PlayWave(report.wave == Wave::Select ? m_settings.Select : m_settings.Disappear);

    // The cells to repaint, as one clip region: a tick comes every few
    // milliseconds, and each call to the window system costs.
    GdiObject<HRGN> dirty(CreateRectRgn(0, 0, 0, 0));
    GdiObject<HRGN> cell(CreateRectRgn(0, 0, 0, 0));
    const auto add = [&](int x, int y) {
        const RECT r = CellRect(x, y);
        SetRectRgn(cell.Get(), r.left, r.top, r.right, r.bottom);
        CombineRgn(dirty.Get(), dirty.Get(), cell.Get(), RGN_OR);
    };
    if (report.frameShown) {
        m_pieces.ShowFrame(report.disappearing ? DisappearRow(report.kind) : SelectRow(report.kind), report.frame);
        m_frameShown = true;
        const Board& board = GetBoard();
        const GroupBox& group = board.Group();
        for (int x = group.left; x <= group.right; ++x)
            for (int y = group.top; y <= group.bottom; ++y)
                if (board.Cell(x, y) & Board::kMark)
                    add(x, y);
    }
    if (report.removed) {
        m_frameShown = false;
        for (const GridPos& changed : report.changed)
            add(changed.x, changed.y);
    }
    if (report.dealt) {
        m_dealt = true;
        m_frameShown = false;
        InvalidateRect(Handle(), nullptr, FALSE);
        UpdateWindow(Handle());
    } else {
        // Painted at once, through the paint routine clipped to the cells.
        RECT box{};
        if (GetRgnBox(dirty.Get(), &box) != NULLREGION) {
            ClientDC dc(Handle());
            SelectClipRgn(dc.Handle(), dirty.Get());
            Paint(dc.Handle(), box);
        }
    }
    if (report.restartTimer)
        SetTimer(Handle(), kAnimTimer, static_cast<UINT>(std::max(m_settings.AnimIntrvl, 0)), nullptr);
}

RECT BoardWnd::CellRect(int x, int y) const
{
    const int size = m_layout.cellSize;
    const int left = m_layout.offsetX + x * size;
    const int top = m_layout.offsetY + y * size;
    return RECT{left, top, left + size, top + size};
}

void BoardWnd::Paint(HDC dc, const RECT& area)
{
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (!m_dealt || BlackedOut() || !m_pieces.Loaded()) {
        FillRect(dc, &area, black);
        return;
    }
    const Board& board = GetBoard();
    const int size = m_layout.cellSize;
    const RECT grid{m_layout.offsetX, m_layout.offsetY, m_layout.offsetX + board.Cols() * size,
                    m_layout.offsetY + board.Rows() * size};
    // The margins around the grid.
    const RECT margins[] = {{area.left, area.top, area.right, grid.top},
                            {area.left, grid.bottom, area.right, area.bottom},
                            {area.left, grid.top, grid.left, grid.bottom},
                            {grid.right, grid.top, area.right, grid.bottom}};
    for (const RECT& margin : margins)
        if (margin.left < margin.right && margin.top < margin.bottom)
            FillRect(dc, &margin, black);

    PaletteGuard palette(dc, m_pieces.Palette());
    // Only the cells the area touches.
    const int left = static_cast<int>(grid.left);
    const int top = static_cast<int>(grid.top);
    const int firstX = std::max(0, static_cast<int>(area.left - left) / size);
    const int lastX = std::min(board.Cols() - 1, static_cast<int>(area.right - 1 - left) / size);
    const int firstY = std::max(0, static_cast<int>(area.top - top) / size);
    const int lastY = std::min(board.Rows() - 1, static_cast<int>(area.bottom - 1 - top) / size);
    for (int x = firstX; x <= lastX; ++x) {
        for (int y = firstY; y <= lastY; ++y) {
            const std::uint8_t cell = board.Cell(x, y);
            int slot = cell & Board::kKindMask;
            if (slot >= kAnimSlot)
                continue;
            if (m_frameShown && (cell & Board::kMark))
                slot = kAnimSlot;
            // Only what needs it: every copy is a request to the display.
            const RECT rect{left + x * size, top + y * size, left + (x + 1) * size, top + (y + 1) * size};
            if (RectVisible(dc, &rect))
                m_pieces.CopySlot(dc, slot, rect.left, rect.top);
        }
    }
}

LRESULT BoardWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PaintDC dc(Handle());
        Paint(dc.Handle(), dc.Area());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // the paint routine covers every pixel
    case WM_SIZE:
    case WM_DPICHANGED_AFTERPARENT:
        // A new size or DPI deals a board fitted to it; a blacked-out board
        // waits for its wake, which lays it out anyway.
        if (m_applied && !BlackedOut())
            ResetLayout();
        break;
    case WM_DPICHANGED:
        // A top-level board stays where it was put: whoever placed it on
        // its monitor moves it. Only the cells follow the new DPI.
        if (m_applied && !BlackedOut())
            ResetLayout();
        return 0;
    case WM_TIMER:
        if (wParam == kAnimTimer) {
            Show(m_game.Tick());
            return 0;
        }
        break;
    case kMmMciNotify:
        m_sound.OnMciNotify(static_cast<std::uintptr_t>(wParam));
        break;
    }
    return Window::WindowProc(msg, wParam, lParam);
}
