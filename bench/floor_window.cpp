// The floor a board saver's CPU is measured against: a full-screen window
// that does, at each step, the least drawing a board of pieces needs. It
// scales one 32 x 32 picture (the next frame of an 8-bit image, as the
// piece image is) into a memory bitmap at the cell size, then copies it
// onto the cells of one group. No game, no sound, no palette.
//
//   floor_window [--interval MS] [--cell PX] [--cells N] [--life MS] [--title TEXT]
//
// The group is N cells side by side in rows of three, in the middle of the
// screen. The rest of the screen is a dark grey, like a board's empty
// cells, so that a screenshot tells when the window shows.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kPicture = 32;
constexpr int kFrames = 8;
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT_PTR kLifeTimer = 2;
constexpr COLORREF kBackground = RGB(40, 40, 40);

// An 8-bit image of kFrames pictures side by side, bottom-up, with a full
// colour table: the form of our piece image.
struct FrameImage {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    std::vector<BYTE> bits;

    FrameImage()
    {
        header.biSize = sizeof header;
        header.biWidth = kFrames * kPicture;
        header.biHeight = kPicture;
        header.biPlanes = 1;
        header.biBitCount = 8;
        header.biCompression = BI_RGB;
        header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i)
            colours[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
        bits.resize(static_cast<size_t>(kFrames * kPicture) * kPicture);
        for (int y = 0; y < kPicture; ++y)
            for (int x = 0; x < kFrames * kPicture; ++x)
                bits[static_cast<size_t>(y) * kFrames * kPicture + x] = static_cast<BYTE>(x * 3 + y * 5);
    }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&header); }
};

struct Floor {
    int interval = 50;
    int cell = 32;
    int cells = 5;
    int life = 0;
    std::wstring title = L"Veloma Floor Window";

    FrameImage image;
    HDC memory = nullptr;
    HBITMAP picture = nullptr;
    HGDIOBJ oldPicture = nullptr;
    int frame = 0;
    POINT origin{};  // the group's top-left cell on the screen

    RECT CellRect(int i) const
    {
        const int left = origin.x + (i % 3) * cell;
        const int top = origin.y + (i / 3) * cell;
        return RECT{left, top, left + cell, top + cell};
    }

    void CopyToGroup(HDC dc) const
    {
        for (int i = 0; i < cells; ++i) {
            const RECT r = CellRect(i);
            BitBlt(dc, r.left, r.top, cell, cell, memory, 0, 0, SRCCOPY);
        }
    }

    void Step(HWND hwnd)
    {
        frame = (frame + 1) % kFrames;
        StretchDIBits(memory, 0, 0, cell, cell, frame * kPicture, 0, kPicture, kPicture, image.bits.data(),
                      image.Info(), DIB_RGB_COLORS, SRCCOPY);
        HDC dc = GetDC(hwnd);
        CopyToGroup(dc);
        ReleaseDC(hwnd, dc);
    }
};

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* floor = reinterpret_cast<Floor*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!floor)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    Floor& f = *floor;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH grey = CreateSolidBrush(kBackground);
        FillRect(dc, &ps.rcPaint, grey);
        DeleteObject(grey);
        f.CopyToGroup(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kStepTimer)
            f.Step(hwnd);
        else if (wParam == kLifeTimer)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool ParseArgs(Floor& f)
{
    for (int i = 1; i < __argc; ++i) {
        const std::wstring arg = __wargv[i];
        if (i + 1 >= __argc)
            return false;
        const wchar_t* value = __wargv[++i];
        if (arg == L"--interval")
            f.interval = std::max(1, _wtoi(value));
        else if (arg == L"--cell")
            f.cell = std::clamp(_wtoi(value), 1, 640);
        else if (arg == L"--cells")
            f.cells = std::clamp(_wtoi(value), 1, 64);
        else if (arg == L"--life")
            f.life = std::max(0, _wtoi(value));
        else if (arg == L"--title")
            f.title = value;
        else
            return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Floor f;
    if (!ParseArgs(f)) {
        MessageBoxW(nullptr, L"floor_window [--interval MS] [--cell PX] [--cells N] [--life MS] [--title TEXT]",
                    L"floor_window", MB_OK);
        return 2;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = nullptr;
    wc.lpszClassName = L"VelomaFloorWindow";
    RegisterClassW(&wc);

    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int rows = (f.cells + 2) / 3;
    f.origin = {(width - 3 * f.cell) / 2, (height - rows * f.cell) / 2};

    HDC screen = GetDC(nullptr);
    f.memory = CreateCompatibleDC(screen);
    f.picture = CreateCompatibleBitmap(screen, f.cell, f.cell);
    ReleaseDC(nullptr, screen);
    if (!f.memory || !f.picture)
        return 1;
    f.oldPicture = SelectObject(f.memory, f.picture);
    // Whole source pixels, as the saver scales its pictures.
    SetStretchBltMode(f.memory, COLORONCOLOR);
    StretchDIBits(f.memory, 0, 0, f.cell, f.cell, 0, 0, kPicture, kPicture, f.image.bits.data(), f.image.Info(),
                  DIB_RGB_COLORS, SRCCOPY);

    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, f.title.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, instance, &f);
    if (!hwnd)
        return 1;
    SetTimer(hwnd, kStepTimer, static_cast<UINT>(f.interval), nullptr);
    if (f.life)
        SetTimer(hwnd, kLifeTimer, static_cast<UINT>(f.life), nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);

    SelectObject(f.memory, f.oldPicture);
    DeleteObject(f.picture);
    DeleteDC(f.memory);
    return 0;
}
