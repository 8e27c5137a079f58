#include "win/BoardProbe.h"

#include "app/win/Modes.h"
#include "board/BoardObserver.h"
#include "host/SoundFakes.h"
#include "platform/RegKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

using namespace boardprobe;

namespace {

struct RemovalCounter : BoardObserver {
    void GroupRemoved(const BoardGame&, int) override { ++removed; }
    int removed = 0;
};

} // namespace

// A frame goes into the animation slot and onto the marked cells, and
// nowhere else; at the end of the disappearing cycle exactly the cells
// whose byte changed are copied, once each, and every cell shows its piece.
TEST(BoardPlayTest, FramesLandOnTheGroupAndRemovalCopiesTheChangedCells)
{
    TempFile image(L"veloma_play.bmp", PieceBmp(256, 352));
    const std::vector<std::string> rows = {"2.....", "31....", "314...", "112455"};
    const std::set<std::pair<int, int>> group = {{0, 3}, {1, 3}, {1, 2}, {1, 1}};  // the 1s
    const struct { bool disappearing; int frame, row; } ticks[] = {{false, 3, 1}, {false, 7, 1}, {true, 7, 2}};
    HostedBoard b;
    ASSERT_TRUE(b.Make(6 * 20 + 6, 4 * 20 + 6));  // a 3-pixel margin
    ProbeBoard& board = b.board;
    board.CellSize = 20;
    ASSERT_TRUE(board.LoadPieces(image.Path()));
    board.TakeTimer(1);
    ASSERT_TRUE(board.m_nCols == 6 && board.m_nRows == 4) << board.m_nCols << " x " << board.m_nRows;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            board.m_board[x][y] = static_cast<std::uint8_t>(rows[y][x] == '.' ? 0 : rows[y][x] - '0');
    ASSERT_EQ(board.SelectGroup(board.m_nSelX = 0, board.m_nSelY = 3), 4);
    std::uint8_t before[BoardGame::kMaxCols][BoardGame::kMaxRows];
    std::memcpy(before, board.m_board, sizeof before);
    CaptureWindow(board.Handle(), true);  // the arranged board on screen

    for (const auto& t : ticks) {
        SCOPED_TRACE(std::string(t.disappearing ? "disappearing" : "selection") + " frame " + std::to_string(t.frame));
        board.ClearLog();
        board.m_bDisappearing = t.disappearing;
        board.m_nFrame = t.frame;
        const Pixels screenBefore = CaptureWindow(board.Handle());
        board.Tick(1);
        ASSERT_EQ(board.frames, (std::vector<std::pair<int, int>>{{t.row, t.frame}}));
        EXPECT_EQ((std::set<std::pair<int, int>>(board.anim.begin(), board.anim.end())), group);
        EXPECT_EQ(board.anim.size(), group.size());
        if (t.disappearing)
            break;
        const Pixels screen = CaptureWindow(board.Handle());
        EXPECT_EQ(Diff(screen, 0, 0, screen.width, 3, screenBefore, 0, 0), "") << "the margin";
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y) {
                const int left = 3 + x * 20, top = 3 + y * 20;
                if (!group.count({x, y}))
                    EXPECT_EQ(Diff(screen, left, top, 20, 20, screenBefore, left, top), "") << "cell " << x << "," << y;
                else
                    EXPECT_EQ(std::make_pair(screen.At(left + 15, top + 15), screen.At(left, top)),
                              std::make_pair(IndexColour(PictureIndex(t.row, t.frame)), IndexColour(CornerIndex(t.row, t.frame))))
                        << "cell " << x << "," << y << ": picture and corner colour";
            }
    }

    std::set<std::tuple<int, int, int>> want;
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 4; ++y)
            if (const int now = board.m_board[x][y] & 0x0F; now != (before[x][y] & 0x0F))  // a new group may be marked
                want.emplace(x, y, now);
    EXPECT_EQ(board.drawn.size(), want.size()) << "cells copied";
    EXPECT_EQ((std::set<std::tuple<int, int, int>>(board.drawn.begin(), board.drawn.end())), want);
    const Pixels screen = CaptureWindow(board.Handle());
    const Pixels strip = Capture(board.StripDC(), 0, 0, 6 * 20, 20);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(Diff(screen, 3 + x * 20, 3 + y * 20, 20, 20, strip, (board.m_board[x][y] & 0x0F) * 20, 0), "")
                << "cell " << x << "," << y;
    EXPECT_TRUE(board.TakeTimer(1)) << "play goes on with the next group";
}

// Timer 2 blacks the window out, at once and at the next paint, and stops
// both timers.
TEST(BoardPlayTest, BlackOutOnTheRealTimer)
{
    TempFile image(L"veloma_timers.bmp", PieceBmp(64, 352));
    HostedBoard b;
    ASSERT_TRUE(b.Make(126, 86));
    ProbeBoard& board = b.board;
    board.AnimIntrvl = 5;
    ASSERT_TRUE(board.LoadPieces(image.Path()));
    board.BlackOutTime = 1;
    board.SetMinuteLength(40);
    board.StartBlackOutTimer();
    EXPECT_TRUE(PumpUntil([&] { return board.m_bBlackedOut; }, 5000));
    EXPECT_FALSE(board.TakeTimer(1)) << "timer 1 runs on after the black-out";
    EXPECT_FALSE(board.TakeTimer(2));
    EXPECT_EQ(NotAll(CaptureWindow(board.Handle()), RGB(0, 0, 0)), "");
    EXPECT_EQ(NotAll(CaptureWindow(board.Handle(), true), RGB(0, 0, 0)), "") << "after a paint";
}

// The cycle's first tick plays its wave through the board's player; the
// sequencer's notice of a normal end restarts the music; the device is
// let go of when the board goes.
TEST(BoardPlayTest, SoundGoesThroughTheBoardsPlayer)
{
    soundfakes::RecordingMci mci;
    soundfakes::RecordingWave wave;
    soundfakes::FakeFileSystem files;
    MsvcRandom random(7);
    const SoundServices services{mci, wave, files, random};
    const std::string midi = "C:\\music\\loop.mid";
    files.Add(midi);
    TempFile image(L"veloma_sound.bmp", PieceBmp(64, 352));
    {
        HostedBoard b(&services);
        ASSERT_TRUE(b.Make(100, 100));
        b.board.BGM = 1;
        b.board.SetMidiPath(midi);
        EXPECT_EQ(SendMessageW(b.board.Handle(), kMmMciNotify, 1, 0), 0);
        EXPECT_EQ(mci.Texts(), (std::vector<std::string>{"status " + midi + " mode", "play " + midi + " from 0 notify"}));
        b.board.CellSize = 20;
        b.board.Sound = 1;
        b.board.SetSelectSound("select.wav");
        ASSERT_TRUE(b.board.LoadPieces(image.Path()));
        b.board.Tick(1);
        b.board.Tick(1);  // the second frame of the cycle is silent
        EXPECT_EQ(wave.played, std::vector<std::string>{"select.wav"});
        mci.sent.clear();
    }
    EXPECT_EQ(mci.Texts(), std::vector<std::string>{"close " + midi});
}

// The board as the display settings' little monitor shows it, started by
// the "p" switch and played on its real timer: the preview's cell size
// whatever is stored, no sound, no black-out; our own art found again in
// the pixels, on a board of the right geometry (margins black, pieces
// resting at the bottom, columns packed to the left).
TEST(BoardPlayTest, PreviewShowsOurPiecesOnABoardOfTheRightGeometry)
{
    const std::wstring source = L"Z:" + Widen(VELOMA_SOURCE_DIR);
    const std::string art = Narrow(source + L"/res/velomass.bmp");
    const wchar_t kProductKey[] = L"Software\\Tamsk soft\\VelomaSS";
    const struct { const wchar_t* stored; int cell, cols, rows, left, top; } sizes[] = {
        {L"32", 18, 8, 6, 4, 2}, {L"96", 36, 4, 3, 4, 2}};
    for (const auto& s : sizes) {
        SCOPED_TRACE("cell " + std::to_string(s.cell));
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegKey system = RegKey::Create(HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\System", KEY_WRITE);
        RegKey sound = RegKey::Create(HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\Sound", KEY_WRITE);
        for (const auto& [name, value] : {std::pair<const wchar_t*, std::wstring>{L"CellSize", s.stored},
                                          {L"Bitmap", Widen(art)}, {L"AnimIntrvl", L"5"}, {L"BlackOutTime", L"1"}})
            system.SetString(name, value);
        for (const auto& [name, value] : {std::pair<const wchar_t*, std::wstring>{L"Sound", L"1"}, {L"BGM", L"1"},
                                          {L"Select", source + L"/samples/select.wav"},
                                          {L"Disappear", source + L"/samples/disappear.wav"},
                                          {L"MIDI", source + L"/samples/loop1.mid"}})
            sound.SetString(name, value);
        const Pixels ref = ScaledRows(art, s.cell);
        ASSERT_EQ(ref.width, 6 * s.cell) << art;
        RECT r{0, 0, 152, 112};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        HWND host = CreateWindowExW(0, L"STATIC", L"little monitor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30,
                                    r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        const std::unique_ptr<BoardWnd> board = StartPreview(host);
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(board->CellSize, s.cell);
        EXPECT_EQ(board->Select + board->Disappear + board->MIDI, "") << "the preview makes no sound";
        EXPECT_EQ(board->BlackOutTime, 0);
        RemovalCounter counter;
        board->SetObserver(&counter);
        std::srand(20240601);  // the same game on every run
        board->ResetLayout();
        EXPECT_TRUE(PumpUntil([&] { return counter.removed >= 2; }, 10000)) << "removed " << counter.removed;
        KillTimer(board->Handle(), 1);
        board->SetObserver(nullptr);
        const Pixels shot = CaptureWindow(board->Handle(), true);

        for (int y = 0; y < 112; ++y)
            for (int x = 0; x < 152; ++x)
                if (x < s.left || x >= s.left + s.cols * s.cell || y < s.top || y >= s.top + s.rows * s.cell)
                    ASSERT_EQ(shot.At(x, y), RGB(0, 0, 0)) << "margin at " << x << "," << y;
        std::set<int> seen;
        bool emptyColumnSeen = false;
        for (int x = 0; x < s.cols; ++x) {
            bool pile = false;
            for (int y = 0; y < s.rows; ++y) {
                int kind = 0;
                while (kind < 6 && Diff(shot, s.left + x * s.cell, s.top + y * s.cell, s.cell, s.cell, ref, kind * s.cell, 0) != "")
                    ++kind;
                ASSERT_LT(kind, 6) << "cell " << x << "," << y << " shows none of our pictures";
                EXPECT_EQ(kind, board->Cell(x, y) & 0x0F) << "cell " << x << "," << y;
                EXPECT_FALSE(pile && kind == 0) << "a hole under a piece at " << x << "," << y;
                pile = pile || kind != 0;
                seen.insert(kind);
            }
            EXPECT_FALSE(emptyColumnSeen && pile) << "column " << x << " stands right of an empty one";
            emptyColumnSeen = emptyColumnSeen || !pile;
        }
        EXPECT_GE(seen.size(), 3u) << "the empty cell and at least two kinds";
        DestroyWindow(host);  // the board's window goes with it
        EXPECT_EQ(board->Handle(), nullptr);
        EXPECT_TRUE(TakeQuitMessage()) << "the run would not end with its board";
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
}
