#pragma once
// What the board window tests share: a board that logs what the game asks
// it to draw, hosted in a window of the test's own, pixel read-back, and
// test piece images in temporary files.
#include "board/win/BoardWnd.h"
#include "board/PieceLayout.h"
#include "host/BmpFile.h"
#include "image/CDIB.h"
#include "image/win/DibFile.h"
#include "platform/Gdi.h"
#include "platform/Text.h"
#include "win/WinTestUtil.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace boardprobe {

// A board that logs the drawing calls and timer
// messages it gets; its animation timer waits until a test speeds it up.
class ProbeBoard : public BoardWnd {
public:
    explicit ProbeBoard(const SoundServices* sound = nullptr) : BoardWnd(sound) { AnimIntrvl = 1000000; }
    using BoardWnd::SetMinuteLength;

    HDC StripDC() const { return m_pMemDC->Handle(); }
    void Tick(UINT_PTR id) { SendMessageW(Handle(), WM_TIMER, id, 0); }
    // Whether the timer ran; stops it.
    bool TakeTimer(UINT id) { return KillTimer(Handle(), id) != FALSE; }
    void ClearLog() { drawn.clear(), anim.clear(), frames.clear(); }

    std::vector<std::tuple<int, int, int>> drawn;  // DrawCell: x, y, slot
    std::vector<std::pair<int, int>> anim;         // DrawAnimCell: x, y
    std::vector<std::pair<int, int>> frames;       // DrawAnimFrame: row, column

protected:
    void DrawCell(int x, int y, int slot) override { drawn.emplace_back(x, y, slot), BoardWnd::DrawCell(x, y, slot); }
    void DrawAnimFrame(int row, int column) override
    {
        frames.emplace_back(row, column), BoardWnd::DrawAnimFrame(row, column);
    }
    void DrawAnimCell(int x, int y) override { anim.emplace_back(x, y), BoardWnd::DrawAnimCell(x, y); }
};

// A board filling the client area of a top-level window of the test's own.
struct HostedBoard {
    explicit HostedBoard(const SoundServices* sound = nullptr) : board(sound) {}
    ~HostedBoard() { DestroyWindow(board.Handle()), DestroyWindow(host); }
    bool Make(int width, int height)
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        host = CreateWindowExW(0, L"STATIC", L"board test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        return host && board.Create(0, WS_CHILD | WS_VISIBLE, RECT{0, 0, width, height}, host, 0, nullptr);
    }
    HWND host = nullptr;
    ProbeBoard board;
};

// Pixels read back from a device context, as COLORREF values.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> data;
    COLORREF At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

// "" when the w x h block at (left, top) equals the one of `o` at (oLeft,
// oTop); otherwise the first pixel that differs, got and wanted.
inline std::string Diff(const Pixels& p, int left, int top, int w, int h, const Pixels& o, int oLeft, int oTop)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (p.At(left + x, top + y) != o.At(oLeft + x, oTop + y)) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d,%d): got %06lx, wanted %06lx", left + x, top + y,
                              p.At(left + x, top + y), o.At(oLeft + x, oTop + y));
                return text;
            }
    return "";
}

// "" when the whole picture is one colour.
inline std::string NotAll(const Pixels& p, COLORREF colour)
{
    return Diff(p, 0, 0, p.width, p.height, Pixels{p.width, p.height, std::vector<COLORREF>(p.data.size(), colour)}, 0, 0);
}

inline Pixels Capture(HDC dc, int left, int top, int width, int height)
{
    Pixels p{width, height, std::vector<COLORREF>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.data[static_cast<std::size_t>(y) * width + x] = GetPixel(dc, left + x, top + y);
    return p;
}

// The client area after a repaint, or as it is.
inline Pixels CaptureWindow(HWND hwnd, bool repaint = false)
{
    if (repaint)
        InvalidateRect(hwnd, nullptr, TRUE), UpdateWindow(hwnd);
    RECT r{};
    GetClientRect(hwnd, &r);
    ClientDC dc(hwnd);
    return Capture(dc.Handle(), 0, 0, r.right, r.bottom);
}

// The test's own stretch of the pictures of slots 0..5 (image rows 0, 1,
// 3, 5, 7, 9, column 0) read from `path`, side by side.
inline Pixels ScaledRows(const std::string& path, int cell)
{
    Win32FileSource file;
    CDIB dib;
    if (!file.Open(path, Win32FileSource::Sharing::DenyWrite) || !dib.Read(file))
        return {};
    ClientDC screen(nullptr);
    MemoryDC mem(screen.Handle());
    GdiBitmap bitmap(CreateCompatibleBitmap(screen.Handle(), 6 * cell, cell));
    SelectGuard keep(mem.Handle(), bitmap.Get());
    SetStretchBltMode(mem.Handle(), COLORONCOLOR);
    for (int slot = 0; slot < 6; ++slot)
        StretchDIBits(mem.Handle(), slot * cell, 0, cell, cell, 0, 320 - 32 * (slot ? 2 * slot - 1 : 0), 32, 32,
                      dib.m_pBits.get(), reinterpret_cast<const BITMAPINFO*>(dib.m_pBMI.get()), DIB_RGB_COLORS, SRCCOPY);
    return Capture(mem.Handle(), 0, 0, 6 * cell, cell);
}

// Our test pieces: every 32 x 32 picture is one colour-table index, its
// top-left 8 x 8 corner another, so a picture drawn upside down or from
// the wrong row or column shows.
inline int PictureIndex(int row, int column) { return 1 + (row % 11) * 8 + column % 8; }
inline int CornerIndex(int row, int column) { return PictureIndex(row, column) + 128; }
inline COLORREF IndexColour(int index) { return RGB(BmpFile::Red(index), BmpFile::Green(index), BmpFile::Blue(index)); }

inline std::vector<std::uint8_t> PieceBmp(int width, int height)
{
    BmpFile f;
    f.width = width;
    f.height = height;
    const int rows = height < 0 ? -height : height;
    const std::size_t rowBytes = static_cast<std::size_t>(f.RowBytes());
    f.pixels.assign(rowBytes * rows, 0);
    for (int r = 0; r < rows; ++r) {
        const int y = height > 0 ? rows - 1 - r : r;  // from the top
        for (int x = 0; x < width; ++x)
            f.pixels[rowBytes * r + x] =
                static_cast<std::uint8_t>(x % 32 < 8 && y % 32 < 8 ? CornerIndex(y / 32, x / 32) : PictureIndex(y / 32, x / 32));
    }
    return f.Bytes();
}

// A file in the temporary folder, removed with the object.
struct TempFile {
    TempFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes)
    {
        GetTempPathW(MAX_PATH, dir);
        path = std::wstring(dir) + name;
        if (FILE* f = _wfopen(path.c_str(), L"wb"))
            fwrite(bytes.data(), 1, bytes.size(), f), fclose(f);
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    std::string Path() const { return Narrow(path); }
    wchar_t dir[MAX_PATH];
    std::wstring path;
};

} // namespace boardprobe
