// The board window against real GDI: what its one paint routine draws for
// the game's state, at any cell size, with the fill options, through play,
// removal and black-out.
#include "board/win/BoardWnd.h"
#include "image/PieceLayout.h"
#include "platform/Text.h"
#include "win/PieceFiles.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A board filling the client area of a window of the test's own.
struct Hosted {
    Hosted(int width, int height)
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        host = CreateWindowExW(0, L"STATIC", L"board test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        window.Create(0, WS_CHILD | WS_VISIBLE, RECT{0, 0, width, height}, host);
    }
    ~Hosted() { DestroyWindow(window.Handle()), DestroyWindow(host); }
    void Tick() { SendMessageW(window.Handle(), WM_TIMER, BoardView::kAnimTimer, 0); }
    HWND host = nullptr;
    BoardWnd window;
    BoardView& board = window.View();
};

Settings Pieces(const std::string& path, int cellSize)
{
    Settings s;
    s.Bitmap = path;
    s.CellSize = cellSize;
    s.AnimIntrvl = 1000000;  // the test ticks by hand
    return s;
}

// The centre pixel of every cell and one of the margin, as the paint
// routine draws them into a bitmap, or as the window shows them.
struct Picture {
    std::vector<COLORREF> cells;  // column-major
    COLORREF margin = 0;
};

Picture Read(HDC dc, const BoardView& board)
{
    Picture p;
    const BoardLayout& l = board.Layout();
    for (int x = 0; x < board.GetBoard().Cols(); ++x)
        for (int y = 0; y < board.GetBoard().Rows(); ++y)
            p.cells.push_back(GetPixel(dc, l.offsetX + x * l.cellSize + l.cellSize / 2,
                                       l.offsetY + y * l.cellSize + l.cellSize / 2));
    p.margin = GetPixel(dc, 0, 0);
    return p;
}

Picture Painted(BoardView& board, int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const HGDIOBJ paletteBefore = GetCurrentObject(dc, OBJ_PAL);
    board.Paint(dc, RECT{0, 0, width, height});
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), paletteBefore) << "the paint left its palette in the context";
    Picture p = Read(dc, board);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return p;
}

Picture Shown(const Hosted& hosted)
{
    HDC dc = GetDC(hosted.window.Handle());
    Picture p = Read(dc, hosted.board);
    ReleaseDC(hosted.window.Handle(), dc);
    return p;
}

std::string Hex(COLORREF c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lx", static_cast<unsigned long>(c));
    return text;
}

// "" when every cell at rest shows its kind's picture or the fill colour.
std::string RestingDiff(const BoardView& board, const Picture& p, const Settings& s)
{
    const Board& b = board.GetBoard();
    for (int x = 0; x < b.Cols(); ++x)
        for (int y = 0; y < b.Rows(); ++y) {
            const int kind = b.Cell(x, y) & Board::kKindMask;
            const bool filled = kind == 0 ? s.BlankOption != 0 : s.DoviOption != 0;
            const COLORREF want = filled ? s.BCCol : IndexColour(PictureIndex(SlotImageRow(kind), 0));
            const COLORREF got = p.cells[static_cast<std::size_t>(x) * b.Rows() + y];
            if (got != want)
                return "cell " + std::to_string(x) + "," + std::to_string(y) + " kind " + std::to_string(kind) +
                       ": got " + Hex(got) + ", wanted " + Hex(want);
        }
    return p.margin == 0 ? "" : "margin " + Hex(p.margin);
}

int Occupied(const Board& b)
{
    int n = 0;
    for (int x = 0; x < b.Cols(); ++x)
        for (int y = 0; y < b.Rows(); ++y)
            n += b.Cell(x, y) != 0;
    return n;
}

// Every cell shows its kind's resting picture, scaled to the cell size, or
// the fill colour the options ask for; the margins are black.
TEST(BoardWndTest, CellsShowTheirPicturesOrTheFillColour)
{
    const TempFile image(PieceBmp(4));
    const struct { int cellSize, blank, dovi; } cases[] = {{32, 0, 0}, {20, 0, 0}, {45, 1, 0}, {24, 0, 1}, {128, 1, 1}};
    for (const auto& c : cases) {
        Hosted hosted(310, 250);
        Settings s = Pieces(image.Path(), c.cellSize);
        s.BlankOption = c.blank;
        s.DoviOption = c.dovi;
        s.BCCol = RGB(10, 200, 30);
        ASSERT_TRUE(hosted.board.Apply(s)) << c.cellSize;
        ASSERT_GT(hosted.board.GetBoard().Cols(), 0);
        EXPECT_EQ(RestingDiff(hosted.board, Painted(hosted.board, 310, 250), s), "")
            << "cell size " << c.cellSize << " blank " << c.blank << " pieces " << c.dovi;
    }
}

// Each tick shows the next frame of the picked group's selection row on
// its marked cells, cycle after cycle, then its disappearing row, and the
// removal repaints the cells that changed. The window shows what the paint
// routine draws after every tick, so no change is left unpainted.
TEST(BoardWndTest, TicksAnimateTheGroupAndRemovalsRepaint)
{
    const TempFile image(PieceBmp(3));
    Hosted hosted(200, 120);
    BoardView& board = hosted.board;
    ASSERT_TRUE(board.Apply(Pieces(image.Path(), 20)));
    const Board& b = board.GetBoard();
    std::string frames;  // "s0 s1 s2 s0 ... d0 d1 " for the group in play
    int removals = 0;
    for (int tick = 0; tick < 400 && removals < 3; ++tick) {
        const int before = Occupied(b);
        hosted.Tick();
        const Picture painted = Painted(board, 200, 120);
        ASSERT_EQ(Shown(hosted).cells, painted.cells) << "tick " << tick << ": the window missed a change";
        if (Occupied(b) != before) {
            // Selection cycles of all three columns, then the disappearing
            // ones up to the last, whose tick removes the group.
            std::string want;
            for (std::size_t n = 0; n + 6 < frames.size(); n += 9)
                want += "s0 s1 s2 ";
            EXPECT_EQ(frames, want + "d0 d1 ") << "removal " << removals;
            frames.clear();
            ++removals;
            continue;
        }
        // Every marked cell shows the same frame.
        std::string shown;
        for (int x = 0; x < b.Cols(); ++x)
            for (int y = 0; y < b.Rows(); ++y) {
                if (!(b.Cell(x, y) & Board::kMark))
                    continue;
                const int kind = b.Cell(x, y) & Board::kKindMask;
                const COLORREF got = painted.cells[static_cast<std::size_t>(x) * b.Rows() + y];
                std::string frame = "?";
                for (int column = 0; column < 3; ++column) {
                    if (got == IndexColour(PictureIndex(SelectRow(kind), column)))
                        frame = "s" + std::to_string(column);
                    if (got == IndexColour(PictureIndex(DisappearRow(kind), column)))
                        frame = "d" + std::to_string(column);
                }
                ASSERT_TRUE(shown.empty() || shown == frame) << "tick " << tick << " cell " << x << "," << y;
                shown = frame;
            }
        frames += shown + " ";
    }
    EXPECT_GE(removals, 2) << "too few groups were removed";
}

// Black-out shows black through any repaint and holds play; waking deals anew.
TEST(BoardWndTest, BlackOutHoldsUntilWoken)
{
    const TempFile image(PieceBmp(2));
    Hosted hosted(160, 100);
    ASSERT_TRUE(hosted.board.Apply(Pieces(image.Path(), 16)));
    hosted.board.BlackOut();
    hosted.Tick();
    InvalidateRect(hosted.window.Handle(), nullptr, TRUE);
    UpdateWindow(hosted.window.Handle());
    const Picture black = Shown(hosted);
    EXPECT_EQ(black.cells, std::vector<COLORREF>(black.cells.size(), 0)) << "the board shows through the black-out";
    hosted.board.Wake();
    EXPECT_EQ(RestingDiff(hosted.board, Shown(hosted), Pieces(image.Path(), 16)), "");
}

// An image that cannot be a piece image leaves the board black and still,
// and a good one afterwards plays again.
TEST(BoardWndTest, RefusedImagesLeaveItBlack)
{
    const TempFile good(PieceBmp(2));
    const TempFile wrongHeight(PieceBmp(2, kPieceImageHeight - 32));
    const TempFile notAnImage(std::vector<std::uint8_t>(2000, 'x'));
    Hosted hosted(160, 100);
    for (const std::string& path : {wrongHeight.Path(), notAnImage.Path(), std::string("Z:\\no such.bmp")}) {
        ASSERT_TRUE(hosted.board.Apply(Pieces(good.Path(), 16)));
        EXPECT_FALSE(hosted.board.Apply(Pieces(path, 16))) << path;
        UpdateWindow(hosted.window.Handle());
        HDC dc = GetDC(hosted.window.Handle());
        EXPECT_EQ(GetPixel(dc, 40, 40), 0u) << path << " left a picture";
        ReleaseDC(hosted.window.Handle(), dc);
    }
}

// A file of pieces, placed for the length of a test.
struct PlacedFile {
    PlacedFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) : path(path)
    {
        if (FILE* f = _wfopen(path.c_str(), L"wb"))
            fwrite(bytes.data(), 1, bytes.size(), f), fclose(f);
    }
    ~PlacedFile() { DeleteFileW(path.c_str()); }
    std::wstring path;
};

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// The default name plays our own image: from the current folder, beside
// the program, from the folder the installer recorded in the machine's
// registry, else the one built into the program. An image the user chose
// that has gone stays black. Each place holds pictures of its own width.
TEST(BoardWndTest, TheDefaultImageIsFoundBesideTheProgramOrBuiltIn)
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::wstring program = Folder(buffer);
    GetTempPathW(MAX_PATH, buffer);
    const std::wstring temp = buffer;
    const std::wstring current = temp + L"veloma current", installed = temp + L"veloma installed";
    CreateDirectoryW(current.c_str(), nullptr);
    CreateDirectoryW(installed.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, buffer);
    const std::wstring before = buffer;
    ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));
    const wchar_t kInstallKey[] = L"Software\\Tamsk soft\\VelomaSS";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring folder = installed + L"\\";
    RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));

    const struct {
        const char* name;
        std::string bitmap;
        bool here, beside, install;
        int frames;  // 0: nothing loaded
    } cases[] = {
        {"everywhere", "", true, true, true, 2},
        {"beside the program", "velomass.bmp", false, true, true, 3},
        {"in the install folder", "VELOMASS.BMP", false, false, true, 4},
        {"nowhere", "", false, false, false, 8},
        {"the user's image has gone", "Z:\\gone\\velomass.bmp", false, true, true, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::unique_ptr<PlacedFile>> placed;
        if (c.here)
            placed.push_back(std::make_unique<PlacedFile>(current + L"\\velomass.bmp", PieceBmp(2)));
        if (c.beside)
            placed.push_back(std::make_unique<PlacedFile>(program + L"\\velomass.bmp", PieceBmp(3)));
        if (c.install)
            placed.push_back(std::make_unique<PlacedFile>(installed + L"\\velomass.bmp", PieceBmp(4)));
        Hosted hosted(160, 100);
        EXPECT_EQ(hosted.board.Apply(Pieces(c.bitmap, 16)), c.frames > 0) << c.name;
        EXPECT_EQ(hosted.board.Pieces().Frames(), c.frames) << c.name;
    }
    // The built-in image is ours, byte for byte where drawing reads it.
    Hosted hosted(160, 100);
    ASSERT_TRUE(hosted.board.Apply(Pieces("", 16)));
    const CDIB* dib = hosted.board.Pieces().Dib();
    std::vector<std::uint8_t> file;
    if (FILE* f = fopen(VELOMA_SOURCE_DIR "/res/velomass.bmp", "rb")) {
        for (int ch; (ch = fgetc(f)) != EOF;)
            file.push_back(static_cast<std::uint8_t>(ch));
        fclose(f);
    }
    ASSERT_GT(file.size(), 1078u);
    EXPECT_EQ(std::memcmp(dib->Bits(), file.data() + 1078, file.size() - 1078), 0);
    EXPECT_EQ(std::memcmp(dib->Info()->bmiColors, file.data() + 54, 1024), 0);

    RegDeleteValueW(key, L"InstallDir");
    RegCloseKey(key);
    SetCurrentDirectoryW(before.c_str());
    RemoveDirectoryW(current.c_str());
    RemoveDirectoryW(installed.c_str());
}

// The sequencer reports to the board's window, and a normal end there plays
// the list's next piece.
TEST(BoardWndTest, MusicNoticesComeToTheBoard)
{
    Hosted hosted(100, 100);
    Settings s = Pieces("Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp", 32);
    s.BGM = 1;
    s.BGMRandomPlay = 0;
    s.MIDI = "Z:" VELOMA_SOURCE_DIR "/samples/velomass.lst";
    hosted.board.Apply(s);
    hosted.board.StartMusic(true);
    const std::string first = hosted.board.Player().Midi();
    SendMessageW(hosted.window.Handle(), kMmMciNotify, kMciNotifySuccessful, 0);
    const std::string second = hosted.board.Player().Midi();
    EXPECT_EQ(first.substr(first.size() - 9) + " " + second.substr(second.size() - 9), "loop1.mid loop2.mid");
    hosted.board.StartMusic(false);  // aborts the play, with a notice
    // Looked for in the board window's queue, not dispatched: the notice
    // must be addressed to it.
    MSG msg;
    bool noticed = false;
    for (int wait = 0; wait < 100 && !noticed; ++wait, Sleep(10))
        noticed = PeekMessageW(&msg, hosted.window.Handle(), kMmMciNotify, kMmMciNotify, PM_REMOVE) != 0;
    EXPECT_TRUE(noticed) << "no notice reached the board";
}

} // namespace
