#include "win/BoardProbe.h"

#include "app/PreviewSettings.h"
#include "board/BoardObserver.h"
#include "host/SoundFakes.h"
#include "image/CDIB.h"
#include "image/DibFile_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

using namespace boardprobe;

namespace {

class RemovalCounter : public BoardObserver {
public:
    void GroupRemoved(const BoardGame&, int) override { ++removed; }
    void BoardDealt(const BoardGame&) override { ++dealt; }
    int removed = 0;
    int dealt = 0;
};

struct PlayingBoard {
    BoardHost host;
    ProbeBoard board;
    TempFile image{L"veloma_play.bmp", PieceBmp(256, 352)};

    // A board of cols x rows cells of 20 pixels with a 3-pixel margin.
    bool Make(int cols, int rows)
    {
        if (!host.Create(cols * 20 + 6, rows * 20 + 6))
            return false;
        if (!board.Create(0, WS_CHILD | WS_VISIBLE, host.Client(), host.Handle(), 0, nullptr))
            return false;
        board.CellSize = 20;
        if (!board.LoadPieces(image.Path()))
            return false;
        board.TakeTimer(1);
        PumpUntil([] { return false; }, 50);
        return board.m_nCols == cols && board.m_nRows == rows;
    }

    // Puts the rows on the board, on screen too, and marks the group at (x, y).
    bool Arrange(const std::vector<std::string>& rows, int x, int y)
    {
        if (!SetGrid(board, rows))
            return false;
        Repaint(board.Handle());
        if (board.SelectGroup(x, y) < 2)
            return false;
        board.m_nSelX = x;
        board.m_nSelY = y;
        board.ClearLog();
        return true;
    }

    // The picture of slot `slot` where cell (x, y) is on screen.
    bool ShowsSlot(const Pixels& screen, int x, int y, int slot, std::string* where) const
    {
        const Pixels strip = Capture(board.StripDC(), slot * 20, 0, 20, 20);
        return screen.Same(strip, board.m_nOffsetX + x * 20, board.m_nOffsetY + y * 20, 20, 20, 0, 0, where);
    }
};

} // namespace

// After the last tick of the disappearing cycle the group goes, pieces fall
// and columns close; exactly the cells whose byte changed are copied, and
// then every cell shows its new piece.
TEST(BoardPlayTest, RemovalCopiesExactlyTheChangedCells)
{
    const struct {
        const char* name;
        std::vector<std::string> rows;
        int x, y;  // a cell of the group to remove
    } cases[] = {
        {"a column empties and the rest close up",
         {"2.....",
          "31....",
          "314...",
          "112455"},
         0, 3},
        {"pieces fall into a row",
         {"4.....",
          "23....",
          "5551..",
          "1233.."},
         0, 2},
        {"the rightmost column goes",
         {"......",
          "....33",
          "1.2.43",
          "125443"},
         5, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlayingBoard p;
        ASSERT_TRUE(p.Make(6, 4));
        ASSERT_TRUE(p.Arrange(c.rows, c.x, c.y));
        std::uint8_t before[6][4];
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y)
                before[x][y] = p.board.m_board[x][y];

        p.board.m_bDisappearing = true;
        p.board.m_nFrame = p.board.m_nFrames - 1;
        p.board.Tick(1);
        ASSERT_EQ(p.board.m_nSelX >= 0, true) << "a pair is left on every case";

        std::set<CellDraw> want;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y) {
                const int now = p.board.m_board[x][y] & 0x0F;  // a new group may be marked by now
                if (before[x][y] != now)
                    want.insert({x, y, now});
            }
        const std::set<CellDraw> got(p.board.drawn.begin(), p.board.drawn.end());
        EXPECT_EQ(p.board.drawn.size(), got.size()) << "a cell was copied twice";
        EXPECT_EQ(got.size(), want.size());
        for (const CellDraw& d : want)
            EXPECT_TRUE(got.count(d)) << "cell " << d.x << "," << d.y << " slot " << d.slot << " not copied";
        for (const CellDraw& d : got)
            EXPECT_TRUE(want.count(d)) << "cell " << d.x << "," << d.y << " slot " << d.slot << " copied needlessly";

        // The last frame on the removed cells has been covered everywhere.
        const Pixels screen = CaptureWindow(p.board.Handle());
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y) {
                std::string where;
                EXPECT_TRUE(p.ShowsSlot(screen, x, y, p.board.m_board[x][y] & 0x0F, &where))
                    << "cell " << x << "," << y << " " << where;
            }
        EXPECT_TRUE(p.board.TakeTimer(1)) << "play goes on with the next group";
    }
}

// One tick stretches the group's frame into slot 6 and copies it onto the
// marked cells, and nowhere else.
TEST(BoardPlayTest, AnimationFrameLandsOnTheMarkedCellsOnly)
{
    const std::vector<std::string> rows = {"2.....", "31....", "314...", "112455"};
    const struct {
        bool disappearing;
        int frame, row;
    } cases[] = {
        {false, 3, 1},  // kind 1 selection row
        {true, 5, 2},   // kind 1 disappearing row
        {false, 7, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.disappearing ? "disappearing" : "selection") + " frame " + std::to_string(c.frame));
        PlayingBoard p;
        ASSERT_TRUE(p.Make(6, 4));
        ASSERT_TRUE(p.Arrange(rows, 0, 3));
        p.board.m_bDisappearing = c.disappearing;
        p.board.m_nFrame = c.frame;
        const Pixels before = CaptureWindow(p.board.Handle());
        p.board.Tick(1);

        ASSERT_EQ(p.board.frames.size(), 1u);
        EXPECT_EQ(p.board.frames[0], std::make_pair(c.row, c.frame));
        const std::set<std::pair<int, int>> marked = {{0, 3}, {1, 3}, {1, 2}, {1, 1}};
        const std::set<std::pair<int, int>> got(p.board.animDrawn.begin(), p.board.animDrawn.end());
        EXPECT_EQ(got, marked);
        EXPECT_EQ(p.board.animDrawn.size(), marked.size());

        const Pixels screen = CaptureWindow(p.board.Handle());
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 4; ++y) {
                const int left = p.board.m_nOffsetX + x * 20;
                const int top = p.board.m_nOffsetY + y * 20;
                if (marked.count({x, y})) {
                    EXPECT_EQ(screen.At(left + 15, top + 15), IndexColour(PictureIndex(c.row, c.frame)))
                        << "cell " << x << "," << y;
                    EXPECT_EQ(screen.At(left, top), IndexColour(CornerIndex(c.row, c.frame)))
                        << "cell " << x << "," << y;
                } else {
                    std::string where;
                    EXPECT_TRUE(screen.Same(before, left, top, 20, 20, left, top, &where))
                        << "cell " << x << "," << y << " changed: " << where;
                }
            }
        // The margins too.
        std::string where;
        EXPECT_TRUE(screen.Same(before, 0, 0, screen.width, p.board.m_nOffsetY, 0, 0, &where)) << where;
    }
}

TEST(BoardPlayTest, OtherTimerIdsDoNothingOfTheirOwn)
{
    PlayingBoard p;
    ASSERT_TRUE(p.Make(6, 4));
    const int frame = p.board.m_nFrame;
    const UINT_PTR ids[] = {0, 3, 7, 0x10001};
    for (UINT_PTR id : ids) {
        p.board.ClearLog();
        p.board.Tick(id);
        EXPECT_EQ(p.board.ticks[id], 1) << "id " << id;
        EXPECT_TRUE(p.board.frames.empty() && p.board.drawn.empty() && p.board.blackFills == 0) << "id " << id;
        EXPECT_EQ(p.board.m_nFrame, frame);
        EXPECT_FALSE(p.board.m_bBlackedOut);
    }
}

// On real window timers: timer 1 plays group after group; timer 2 blacks
// the window out and stops both.
TEST(BoardPlayTest, TimersRunTheCycleAndTheBlackOut)
{
    PlayingBoard p;
    ASSERT_TRUE(p.Make(6, 4));
    RemovalCounter counter;
    p.board.SetObserver(&counter);
    p.board.AnimIntrvl = 5;
    p.board.NewBoard();
    EXPECT_TRUE(PumpUntil([&] { return counter.removed >= 3; }, 10000))
        << "removed " << counter.removed << " groups, ticks " << p.board.ticks[1];

    p.board.BlackOutTime = 1;
    p.board.SetMinuteLength(40);
    p.board.StartBlackOutTimer();
    EXPECT_TRUE(PumpUntil([&] { return p.board.m_bBlackedOut; }, 5000));
    EXPECT_EQ(p.board.ticks[2], 1);
    const int ticks = p.board.ticks[1];
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(p.board.ticks[1], ticks) << "timer 1 runs on after the black-out";
    EXPECT_FALSE(p.board.TakeTimer(1));
    EXPECT_FALSE(p.board.TakeTimer(2));

    const Pixels screen = CaptureWindow(p.board.Handle());
    for (int y = 0; y < screen.height; y += 3)
        for (int x = 0; x < screen.width; x += 3)
            ASSERT_EQ(screen.At(x, y), RGB(0, 0, 0)) << "at " << x << "," << y;

    // No black-out without minutes.
    p.board.BlackOutTime = 0;
    p.board.StartBlackOutTimer();
    EXPECT_FALSE(p.board.TakeTimer(2));
    p.board.SetObserver(nullptr);
}

// The first tick of a cycle plays the cycle's wave; the sequencer's notice
// of a normal end starts the piece again, any other notice does not.
TEST(BoardPlayTest, SoundGoesThroughTheBoardsPlayer)
{
    soundfakes::RecordingMci mci;
    soundfakes::RecordingWave wave;
    soundfakes::FakeFileSystem files;
    MsvcRandom random(7);
    const SoundServices services{mci, wave, files, random};
    const std::string midi = "C:\\music\\loop.mid";
    files.Add(midi);

    const struct {
        const char* name;
        int bgm;
        WPARAM code;
        std::string mode;
        std::vector<std::string> want;
    } notices[] = {
        {"normal end", 1, 1, "stopped",
         {"status " + midi + " mode", "play " + midi + " from 0 notify"}},
        {"normal end while paused", 1, 1, "paused", {"status " + midi + " mode"}},
        {"superseded", 1, 2, "stopped", {}},
        {"aborted", 1, 4, "stopped", {}},
        {"failed", 1, 8, "stopped", {}},
        {"music off", 0, 1, "stopped", {}},
    };
    BoardHost host;
    ASSERT_TRUE(host.Create(100, 100));
    for (const auto& n : notices) {
        SCOPED_TRACE(n.name);
        mci.sent.clear();
        mci.modeReply = n.mode;
        {
            ProbeBoard board(services);
            ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, host.Client(), host.Handle(), 0, nullptr));
            board.BGM = n.bgm;
            board.SetMidiPath(midi);
            EXPECT_EQ(SendMessageW(board.Handle(), kMmMciNotify, n.code, 0), 0);
            EXPECT_EQ(mci.Texts(), n.want);
            mci.sent.clear();
        }
        // Music on or off, the board lets go of the device when it goes.
        EXPECT_EQ(mci.Texts(), std::vector<std::string>{"close " + midi});
    }

    TempFile image(L"veloma_sound.bmp", PieceBmp(64, 352));
    const struct {
        int sound;
        std::vector<std::string> want;
    } waves[] = {{1, {"select.wav"}}, {0, {}}};
    for (const auto& w : waves) {
        SCOPED_TRACE("Sound " + std::to_string(w.sound));
        wave.played.clear();
        ProbeBoard board(services);
        ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, host.Client(), host.Handle(), 0, nullptr));
        board.CellSize = 20;
        board.Sound = w.sound;
        board.SetSelectSound("select.wav");
        board.SetDisappearSound("gone.wav");
        ASSERT_TRUE(board.LoadPieces(image.Path()));
        board.Tick(1);
        board.Tick(1);  // the second frame of the cycle is silent
        EXPECT_EQ(wave.played, w.want);
    }
}

// The board as the display settings' little monitor shows it: our own art
// at the preview's sizes, found again in the pixels.
TEST(BoardPlayTest, PreviewShowsOurPiecesOnABoardOfTheRightGeometry)
{
    const struct {
        int stored, cell, cols, rows, left, top;
    } sizes[] = {
        {32, 18, 8, 6, 4, 2},
        {64, 36, 4, 3, 4, 2},
    };
    Win32FileSource file;
    CDIB art;
    ASSERT_TRUE(file.Open(OurArtPath(), Win32FileSource::Sharing::DenyWrite)) << OurArtPath();
    ASSERT_TRUE(art.Read(file));
    file.Close();

    for (const auto& s : sizes) {
        SCOPED_TRACE("cell " + std::to_string(s.cell));
        // The test's own pictures of the empty cell and the five kinds.
        ClientDC screenDC(nullptr);
        MemoryDC mem(screenDC.Handle());
        GdiBitmap refs(CreateCompatibleBitmap(screenDC.Handle(), 6 * s.cell, s.cell));
        Pixels ref;
        {
            SelectGuard keep(mem.Handle(), refs.Get());
            SetStretchBltMode(mem.Handle(), COLORONCOLOR);
            const int rows[] = {0, 1, 3, 5, 7, 9};
            for (int k = 0; k < 6; ++k)
                StretchDIBits(mem.Handle(), k * s.cell, 0, s.cell, s.cell, 0, 320 - 32 * rows[k], 32, 32,
                              art.m_pBits.get(), reinterpret_cast<const BITMAPINFO*>(art.m_pBMI.get()),
                              DIB_RGB_COLORS, SRCCOPY);
            ref = Capture(mem.Handle(), 0, 0, 6 * s.cell, s.cell);
        }

        BoardHost host;
        ASSERT_TRUE(host.Create(152, 112));
        ProbeBoard board;
        ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, host.Client(), host.Handle(), 0, nullptr));
        board.CellSize = s.stored;
        board.AnimIntrvl = 5;
        ApplyPreviewSettings(board);
        ASSERT_EQ(board.CellSize, s.cell);
        RemovalCounter counter;
        board.SetObserver(&counter);
        std::srand(20240601);  // the same game on every run
        ASSERT_TRUE(board.LoadPieces(OurArtPath()));
        EXPECT_TRUE(PumpUntil([&] { return counter.removed >= 2; }, 10000)) << "removed " << counter.removed;
        board.TakeTimer(1);
        Repaint(board.Handle());
        const Pixels shot = CaptureWindow(board.Handle());
        board.SetObserver(nullptr);

        // Margins black; every cell one of the six pictures.
        for (int y = 0; y < 112; ++y)
            for (int x = 0; x < 152; ++x) {
                const bool inGrid = x >= s.left && x < s.left + s.cols * s.cell && y >= s.top &&
                                    y < s.top + s.rows * s.cell;
                if (!inGrid)
                    ASSERT_EQ(shot.At(x, y), RGB(0, 0, 0)) << "margin at " << x << "," << y;
            }
        std::vector<std::vector<int>> kinds(s.cols, std::vector<int>(s.rows, -1));
        std::set<int> seen;
        for (int x = 0; x < s.cols; ++x)
            for (int y = 0; y < s.rows; ++y) {
                for (int k = 0; k < 6 && kinds[x][y] < 0; ++k)
                    if (shot.Same(ref, s.left + x * s.cell, s.top + y * s.cell, s.cell, s.cell, k * s.cell, 0,
                                  nullptr))
                        kinds[x][y] = k;
                ASSERT_GE(kinds[x][y], 0) << "cell " << x << "," << y << " shows none of our pictures";
                EXPECT_EQ(kinds[x][y], board.Cell(x, y) & 0x0F) << "cell " << x << "," << y;
                seen.insert(kinds[x][y]);
            }
        EXPECT_GE(seen.size(), 3u) << "the empty cell and at least two kinds";

        // Pieces rest at the bottom; occupied columns are packed to the left.
        bool emptyColumnSeen = false;
        for (int x = 0; x < s.cols; ++x) {
            bool pieceSeen = false;
            for (int y = 0; y < s.rows; ++y) {
                if (kinds[x][y] != 0)
                    pieceSeen = true;
                else
                    EXPECT_FALSE(pieceSeen) << "a hole under a piece at " << x << "," << y;
            }
            const bool empty = kinds[x][s.rows - 1] == 0;
            EXPECT_FALSE(emptyColumnSeen && !empty) << "column " << x << " stands right of an empty one";
            emptyColumnSeen = emptyColumnSeen || empty;
        }
    }
}
