// The board window against real GDI: the strip's scaled pictures and fill
// colour at a few cell sizes, the frames on the group, the window showing
// what the paint routine draws, the real timer and the black-out, and where
// the piece image and the music notices come from.
#include "board/win/BoardWnd.h"
#include "image/PieceLayout.h"
#include "platform/Gdi.h"
#include "platform/RegKey.h"
#include "platform/Text.h"
#include "win/PieceFiles.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
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
    HWND host = nullptr;
    BoardWnd window;
    BoardView& board = window.View();
};

Settings Pieces(const std::string& path, int cellSize, int stepMs = 1000000)
{
    Settings s;
    s.Bitmap = path, s.CellSize = cellSize, s.AnimIntrvl = stepMs;
    return s;
}

// The centre pixel of every cell, column-major, then one of the margin.
std::vector<COLORREF> Read(HDC dc, const BoardView& board)
{
    std::vector<COLORREF> p;
    const BoardLayout& l = board.Layout();
    for (int x = 0; x < l.cols; ++x)
        for (int y = 0; y < l.rows; ++y)
            p.push_back(GetPixel(dc, l.offsetX + x * l.cellSize + l.cellSize / 2,
                                 l.offsetY + y * l.cellSize + l.cellSize / 2));
    p.push_back(GetPixel(dc, 0, 0));
    return p;
}

// What the paint routine draws into a bitmap.
std::vector<COLORREF> Painted(BoardView& board, int width, int height)
{
    const ClientDC screen(nullptr);
    MemoryDC dc(screen.Handle());
    const GdiBitmap bitmap(CreateCompatibleBitmap(screen.Handle(), width, height));
    const SelectGuard select(dc.Handle(), bitmap.Get());
    const HGDIOBJ paletteBefore = GetCurrentObject(dc.Handle(), OBJ_PAL);
    board.Paint(dc.Handle(), RECT{0, 0, width, height});
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_PAL), paletteBefore) << "the paint left its palette in the context";
    return Read(dc.Handle(), board);
}

std::vector<COLORREF> Shown(const Hosted& h) { return Read(ClientDC(h.window.Handle()).Handle(), h.board); }

// What Read gives at rest: each kind's picture or the fill colour the
// options ask for, and a black margin.
std::vector<COLORREF> Resting(const BoardView& board, const Settings& s)
{
    std::vector<COLORREF> want;
    const Board& b = board.GetBoard();
    for (int x = 0; x < b.Cols(); ++x)
        for (int y = 0; y < b.Rows(); ++y) {
            const int kind = b.Cell(x, y) & Board::kKindMask;
            const bool filled = kind == 0 ? s.BlankOption != 0 : s.DoviOption != 0;
            want.push_back(filled ? s.BCCol : IndexColour(PictureIndex(SlotImageRow(kind), 0)));
        }
    want.push_back(0);
    return want;
}

TEST(BoardWndTest, CellsShowTheirScaledPicturesOrTheFillColour)
{
    const TempFile image(PieceBmp(4));
    const struct { int cellSize, blank, dovi; } cases[] = {{20, 0, 0}, {45, 1, 0}, {24, 0, 1}};
    for (const auto& c : cases) {
        Hosted hosted(310, 250);
        Settings s = Pieces(image.Path(), c.cellSize);
        s.BlankOption = c.blank, s.DoviOption = c.dovi, s.BCCol = RGB(10, 200, 30);
        ASSERT_TRUE(hosted.board.Apply(s)) << c.cellSize;
        ASSERT_GT(hosted.board.GetBoard().Cols(), 0);
        EXPECT_EQ(Painted(hosted.board, 310, 250), Resting(hosted.board, s)) << "cell size " << c.cellSize;
    }
}

// Each tick shows the next frame of the group's selection row on its
// marked cells, then its disappearing row; the window shows what the paint
// routine draws after every tick, the removal included.
TEST(BoardWndTest, TicksShowTheGroupsFramesAndTheWindowFollows)
{
    const TempFile image(PieceBmp(3));
    Hosted hosted(200, 120);
    BoardView& board = hosted.board;
    ASSERT_TRUE(board.Apply(Pieces(image.Path(), 20)));
    const Board& b = board.GetBoard();
    std::string frames;  // "s0 s1 s2 s0 ... d0 d1 "
    for (int tick = 0; tick < 200; ++tick) {
        SendMessageW(hosted.window.Handle(), WM_TIMER, BoardView::kAnimTimer, 0);
        const std::vector<COLORREF> painted = Painted(board, 200, 120);
        ASSERT_EQ(Shown(hosted), painted) << "tick " << tick << ": the window missed a change";
        // The tick after the last frame shown removes the group.
        if (frames.size() >= 3 && frames.substr(frames.size() - 3) == "d1 ")
            break;
        std::string shown;
        for (int x = 0; x < b.Cols(); ++x)
            for (int y = 0; y < b.Rows(); ++y) {
                if (!(b.Cell(x, y) & Board::kMark))
                    continue;
                const int kind = b.Cell(x, y) & Board::kKindMask;
                const COLORREF got = painted[static_cast<std::size_t>(x) * b.Rows() + y];
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
    // Whole selection cycles, then the disappearing frames but the last,
    // whose tick removes the group.
    std::string want;
    for (std::size_t n = 0; n + 6 < frames.size(); n += 9)
        want += "s0 s1 s2 ";
    EXPECT_EQ(frames, want + "d0 d1 ");
}

// On the real timer the board plays; blacked out it stays black through a
// repaint; a wake deals anew and plays again.
TEST(BoardWndTest, BlackOutHoldsTheRealTimerUntilWoken)
{
    const TempFile image(PieceBmp(2));
    Hosted hosted(160, 100);
    const Settings s = Pieces(image.Path(), 16, 10);
    ASSERT_TRUE(hosted.board.Apply(s));
    const auto plays = [&] {
        const std::vector<COLORREF> was = Shown(hosted);
        return PumpUntil([&] { return Shown(hosted) != was; }, 2000);
    };
    EXPECT_TRUE(plays()) << "the step timer does not run";
    hosted.board.BlackOut();
    PumpUntil([] { return false; }, 100);
    InvalidateRect(hosted.window.Handle(), nullptr, TRUE);
    UpdateWindow(hosted.window.Handle());
    const std::vector<COLORREF> black = Shown(hosted);
    EXPECT_EQ(std::count(black.begin(), black.end(), 0u), static_cast<long>(black.size()))
        << "the board shows through the black-out";
    hosted.board.Wake();
    EXPECT_EQ(Shown(hosted), Resting(hosted.board, s));
    EXPECT_TRUE(plays()) << "the step timer did not come back with the wake";
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// The places the default name is looked for, as Windows names them: the
// current folder, the program's, the folder the installer recorded in the
// machine's registry, else the image built into the program. Each place
// holds pictures of its own width.
TEST(BoardWndTest, TheDefaultImageIsFoundBesideTheProgramOrBuiltIn)
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::wstring program = Folder(buffer);
    GetTempPathW(MAX_PATH, buffer);
    const std::wstring temp = buffer, current = temp + L"veloma current", installed = temp + L"veloma installed";
    CreateDirectoryW(current.c_str(), nullptr);
    CreateDirectoryW(installed.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, buffer);
    const std::wstring before = buffer;
    ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));
    RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, L"Software\\Tamsk soft\\VelomaSS", KEY_SET_VALUE);
    ASSERT_TRUE(key.SetString(L"InstallDir", installed + L"\\"));

    const struct { std::string bitmap; bool here, beside, install; int frames; } cases[] = {
        {"", true, true, true, 2}, {"velomass.bmp", false, true, true, 3}, {"VELOMASS.BMP", false, false, true, 4},
        {"", false, false, false, 8},  // built in: our own image
    };
    for (const auto& c : cases) {
        std::list<TempFile> placed;
        if (c.here)
            placed.emplace_back(PieceBmp(2), current + L"\\velomass.bmp");
        if (c.beside)
            placed.emplace_back(PieceBmp(3), program + L"\\velomass.bmp");
        if (c.install)
            placed.emplace_back(PieceBmp(4), installed + L"\\velomass.bmp");
        Hosted hosted(160, 100);
        EXPECT_TRUE(hosted.board.Apply(Pieces(c.bitmap, 16)));
        EXPECT_EQ(hosted.board.Pieces().Frames(), c.frames) << c.frames;
    }

    RegDeleteValueW(key.Get(), L"InstallDir");
    SetCurrentDirectoryW(before.c_str());
    RemoveDirectoryW(current.c_str());
    RemoveDirectoryW(installed.c_str());
}

// The sequencer reports to the board's window, and a normal end there plays
// the list's next piece; an aborted play reports no normal end.
TEST(BoardWndTest, MusicNoticesComeToTheBoard)
{
    Hosted hosted(100, 100);
    Settings s = Pieces("Z:" VELOMA_SOURCE_DIR "/res/velomass.bmp", 32);
    s.BGM = 1, s.BGMRandomPlay = 0, s.MIDI = "Z:" VELOMA_SOURCE_DIR "/samples/velomass.lst";
    hosted.board.Apply(s);
    hosted.board.StartMusic(true);
    const std::string first = hosted.board.Player().Midi();
    SendMessageW(hosted.window.Handle(), kMmMciNotify, kMciNotifySuccessful, 0);
    const std::string second = hosted.board.Player().Midi();
    EXPECT_EQ(first.substr(first.size() - 9) + " " + second.substr(second.size() - 9), "loop1.mid loop2.mid");
    hosted.board.StartMusic(false);  // aborts the play, with a notice
    // Looked for in the board window's queue, not dispatched: the notice
    // must be addressed to it.
    MSG msg{};
    bool noticed = false;
    for (int wait = 0; wait < 100 && !noticed; ++wait, Sleep(10))
        noticed = PeekMessageW(&msg, hosted.window.Handle(), kMmMciNotify, kMmMciNotify, PM_REMOVE) != 0;
    EXPECT_TRUE(noticed) << "no notice reached the board";
    EXPECT_NE(msg.wParam, static_cast<WPARAM>(kMciNotifySuccessful)) << "an abort reads as a normal end";
}

} // namespace
