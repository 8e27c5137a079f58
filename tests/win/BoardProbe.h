#pragma once
// What the board window tests share: a board that records what the game
// asked it to draw, a host window of the test's own, pixel read-back, and
// piece images written to temporary files.
#include "board/BoardWnd.h"
#include "board/PieceLayout.h"
#include "host/BmpFile.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "win/WinTestUtil.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace boardprobe {

struct CellDraw {
    int x, y, slot;
    bool operator<(const CellDraw& o) const
    {
        return std::make_pair(std::make_pair(x, y), slot) < std::make_pair(std::make_pair(o.x, o.y), o.slot);
    }
    bool operator==(const CellDraw& o) const { return x == o.x && y == o.y && slot == o.slot; }
};

// A member-style board (not self-deleting) that logs the game's drawing
// calls before doing them, and counts the timer messages it gets.
class ProbeBoard : public BoardWnd {
public:
    ProbeBoard() : BoardWnd(FALSE) { Quiet(); }
    explicit ProbeBoard(const SoundServices& sound) : BoardWnd(FALSE, &sound) { Quiet(); }

    using BoardWnd::SetMinuteLength;

    HDC StripDC() const { return m_pMemDC->Handle(); }
    bool HasStrip() const { return m_pStripBitmap != nullptr; }
    void Tick(UINT_PTR id) { SendMessageW(Handle(), WM_TIMER, id, 0); }
    // Tells whether the timer ran, stopping it.
    bool TakeTimer(UINT id) { return KillTimer(Handle(), id) != FALSE; }
    void ClearLog()
    {
        drawn.clear();
        animDrawn.clear();
        frames.clear();
        blackFills = 0;
    }

    std::vector<CellDraw> drawn;                 // DrawCell
    std::vector<std::pair<int, int>> animDrawn;  // DrawAnimCell
    std::vector<std::pair<int, int>> frames;     // DrawAnimFrame: row, column
    int blackFills = 0;
    std::map<UINT_PTR, int> ticks;

protected:
    void DrawCell(int x, int y, int slot) override
    {
        drawn.push_back({x, y, slot});
        BoardWnd::DrawCell(x, y, slot);
    }
    void DrawAnimFrame(int row, int column) override
    {
        frames.emplace_back(row, column);
        BoardWnd::DrawAnimFrame(row, column);
    }
    void DrawAnimCell(int x, int y) override
    {
        animDrawn.emplace_back(x, y);
        BoardWnd::DrawAnimCell(x, y);
    }
    void FillBlack() override
    {
        ++blackFills;
        BoardWnd::FillBlack();
    }
    void OnTimer(UINT_PTR id) override
    {
        ++ticks[id];
        BoardWnd::OnTimer(id);
    }

private:
    // The product's defaults, minus anything that would make a noise or
    // move on its own before the test says so.
    void Quiet()
    {
        AnimIntrvl = 1000000;
        BGM = 0;
        Sound = 0;
        CellArr = 1;
        CellNo = 5;
    }
};

// A top-level window of the test's own whose client area has the given size.
class BoardHost : public Window {
public:
    bool Create(int width, int height, HBRUSH background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)))
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        return CreateEx(0, RegisterWindowClass(0, nullptr, background, nullptr), L"board test host",
                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, r.right - r.left, r.bottom - r.top, nullptr, 0);
    }
    RECT Client() const
    {
        RECT r{};
        GetClientRect(Handle(), &r);
        return r;
    }
};

// Pixels read back from any device context, as COLORREF values.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> data;

    COLORREF At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
    bool Same(const Pixels& o, int left, int top, int w, int h, int oLeft, int oTop, std::string* where) const
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (At(left + x, top + y) != o.At(oLeft + x, oTop + y)) {
                    if (where) {
                        char text[96];
                        std::snprintf(text, sizeof text, "(%d,%d): got %06lx, wanted %06lx", left + x, top + y,
                                      static_cast<unsigned long>(At(left + x, top + y)),
                                      static_cast<unsigned long>(o.At(oLeft + x, oTop + y)));
                        *where = text;
                    }
                    return false;
                }
        return true;
    }
};

inline Pixels Capture(HDC source, int left, int top, int width, int height)
{
    Pixels p;
    p.width = width;
    p.height = height;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC mem;
    {
        SelectGuard keep(mem.Handle(), dib.Get());
        BitBlt(mem.Handle(), 0, 0, width, height, source, left, top, SRCCOPY);
        GdiFlush();
    }
    const auto* quads = static_cast<const std::uint8_t*>(bits);
    p.data.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < p.data.size(); ++i)
        p.data[i] = RGB(quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]);
    return p;
}

inline Pixels CaptureWindow(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    ClientDC dc(hwnd);
    return Capture(dc.Handle(), 0, 0, r.right, r.bottom);
}

// Repaints a window now and lets pending messages through.
inline void Repaint(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

// Our test pieces: every 32 x 32 picture is one colour-table index, its
// top-left 8 x 8 corner another, so a picture drawn upside down or from
// the wrong row or column shows.
inline int PictureIndex(int row, int column)
{
    return 1 + (row % 11) * 8 + column % 8;
}
inline int CornerIndex(int row, int column)
{
    return PictureIndex(row, column) + 128;
}
inline COLORREF IndexColour(int index)
{
    return RGB(BmpFile::Red(index), BmpFile::Green(index), BmpFile::Blue(index));
}

inline std::vector<std::uint8_t> PieceBmp(int width, int height, std::uint16_t bits = 8)
{
    BmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = bits;
    const int rows = height < 0 ? -height : height;
    const std::size_t rowBytes = static_cast<std::size_t>(f.RowBytes());
    f.pixels.assign(rowBytes * rows, 0);
    for (int r = 0; r < rows; ++r) {
        const int y = height > 0 ? rows - 1 - r : r;  // from the top
        std::uint8_t* line = f.pixels.data() + rowBytes * r;
        for (int x = 0; x < width; ++x) {
            const bool corner = x % 32 < 8 && y % 32 < 8;
            const int index = corner ? CornerIndex(y / 32, x / 32) : PictureIndex(y / 32, x / 32);
            if (bits == 8) {
                line[x] = static_cast<std::uint8_t>(index);
            } else {
                line[3 * x] = BmpFile::Blue(index);
                line[3 * x + 1] = BmpFile::Green(index);
                line[3 * x + 2] = BmpFile::Red(index);
            }
        }
    }
    return f.Bytes();
}

// A file in the temporary folder, removed with the object.
class TempFile {
public:
    TempFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes)
    {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        m_path = std::wstring(dir) + name;
        HANDLE h = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
        }
    }
    ~TempFile() { DeleteFileW(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string Path() const { return Narrow(m_path); }

private:
    std::wstring m_path;
};

// The committed piece image of the product, read from the source tree.
inline std::string OurArtPath()
{
    return Narrow(L"Z:" + Widen(VELOMA_SOURCE_DIR) + L"/res/velomass.bmp");
}

// Puts a board given as rows of digits ('.' or '0' for empty) into the
// grid in use, which must have that size.
inline bool SetGrid(BoardGame& game, const std::vector<std::string>& rows)
{
    if (static_cast<int>(rows.size()) != game.m_nRows)
        return false;
    for (int y = 0; y < game.m_nRows; ++y) {
        if (static_cast<int>(rows[y].size()) != game.m_nCols)
            return false;
        for (int x = 0; x < game.m_nCols; ++x)
            game.m_board[x][y] = static_cast<std::uint8_t>(rows[y][x] == '.' ? 0 : rows[y][x] - '0');
    }
    return true;
}

} // namespace boardprobe
