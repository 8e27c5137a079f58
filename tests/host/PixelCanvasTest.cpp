// The board in plain pixels: every pixel of the canvas after each step
// against the game's cells and the frame its reports name, what each step
// says it changed, the fill options, and the pictures it refuses.
#include "x11/BuiltInImage.h"
#include "x11/PixelCanvas.h"

#include "base/ByteSource.h"
#include "host/BmpFile.h"
#include "image/PieceLayout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// Picture (row, column) of the test image: red tells the picture, green
// and blue the pixel's place in it, so a scaled cell shows which source
// pixel each of its pixels came from.
std::uint32_t Source(int row, int column, int frames, int x, int y)
{
    return static_cast<std::uint32_t>(1 + row * frames + column) << 16 | (x * 8) << 8 | y * 8;
}

std::vector<std::uint8_t> TestImage(int frames, int height = kPieceImageHeight)
{
    BmpFile f;
    f.width = frames * kPieceCell;
    f.height = height;
    f.bitCount = 24;
    for (int fromBottom = 0; fromBottom < height; ++fromBottom) {
        const int y = height - 1 - fromBottom;
        for (int x = 0; x < f.width; ++x) {
            const std::uint32_t c = Source(y / kPieceCell, x / kPieceCell, frames, x % kPieceCell, y % kPieceCell);
            f.pixels.insert(f.pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
        f.pixels.resize(f.pixels.size() + (4 - f.width * 3 % 4) % 4, 0);
    }
    return f.Bytes();
}

bool Load(PixelCanvas& board, const std::vector<std::uint8_t>& bytes, std::string* why = nullptr)
{
    MemoryByteSource source(bytes.data(), bytes.size());
    std::string reason;
    const bool loaded = board.LoadImage(source, reason);
    if (why)
        *why = reason;
    return loaded;
}

// The display of the test: blue in the high byte, alpha bits set, so a
// channel in the wrong place shows.
const PixelFormat kFormat{0, 8, 16, 0xFF000000};

struct Pixels {
    int width, height, stride;
    std::vector<std::uint32_t> pixels;
    Pixels(int w, int h) : width(w), height(h), stride(w + 3), pixels(static_cast<std::size_t>(stride) * h, 0xDEAD) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
};

struct Case {
    const char* name;
    int width, height, cellSize, frames;
    BoardLook look;
    std::uint32_t seed;
};

struct Timer : StepTimer {
    void Start(int ms) override { on = true, started = ms; }
    void Stop() override { on = false; }
    bool on = false;
    int started = -1;
};

// What each pixel must show, worked out from the cells and the reports of
// a twin game that draws the same random numbers.
class Expected {
public:
    Expected(const Case& c) : m_case(c) {}

    void Follow(const PlayReport& r)
    {
        if (r.frameShown)
            m_animRow = r.disappearing ? DisappearRow(r.kind) : SelectRow(r.kind), m_animColumn = r.frame,
            m_shown = true;
        if (r.removed || r.dealt)
            m_shown = false;
        m_dealt = m_dealt || r.dealt;
    }

    void Check(const Pixels& canvas, const Board& board, const BoardLayout& layout, int step) const
    {
        const int size = layout.cellSize;
        const std::uint32_t black = PixelOf(kFormat, 0);
        const std::uint32_t fill = PixelOf(kFormat, m_case.look.fill.colour);
        int wrong = 0;
        for (int y = 0; y < canvas.height && wrong < 3; ++y) {
            for (int x = 0; x < canvas.width && wrong < 3; ++x) {
                const int cx = (x - layout.offsetX) / size, cy = (y - layout.offsetY) / size;
                std::uint32_t want = black;
                if (m_dealt && x >= layout.offsetX && y >= layout.offsetY && cx < board.Cols() && cy < board.Rows()) {
                    const std::uint8_t cell = board.Cell(cx, cy);
                    const int kind = cell & Board::kKindMask;
                    const int px = (x - layout.offsetX) % size * kPieceCell / size;
                    const int py = (y - layout.offsetY) % size * kPieceCell / size;
                    if (m_shown && (cell & Board::kMark))
                        want = PixelOf(kFormat, Source(m_animRow, m_animColumn, m_case.frames, px, py));
                    else if ((kind == 0 && m_case.look.fill.emptyCells) || (kind > 0 && m_case.look.fill.pieces))
                        want = fill;
                    else
                        want = PixelOf(kFormat, Source(SlotImageRow(kind), 0, m_case.frames, px, py));
                }
                if (canvas.At(x, y) != want) {
                    ADD_FAILURE() << m_case.name << ", step " << step << ": pixel (" << x << ", " << y << ") is "
                                  << std::hex << canvas.At(x, y) << ", wanted " << want;
                    ++wrong;
                }
            }
        }
    }

private:
    const Case& m_case;
    bool m_dealt = false;
    bool m_shown = false;
    int m_animRow = 0;
    int m_animColumn = 0;
};

TEST(PixelCanvasTest, EveryStepShowsTheCellsAndTheReportedFrameAndSaysWhatChanged)
{
    BoardLook still;
    still.play.stillFirstFrame = true;
    still.play.kinds = 3;
    BoardLook fills;
    fills.fill = {true, true, 0x123456};
    fills.play.pattern = 3;
    BoardLook emptyOnly;
    emptyOnly.fill = {true, false, 0xFEDCBA};
    BoardLook big;
    big.cellSize = 64;
    const Case cases[] = {
        {"a 100 x 75 preview at 32 pixels", 100, 75, 32, 4, BoardLook{}, 1},
        {"cells scaled down to 13 pixels, first frame still, three kinds", 157, 93, 13, 4, [&] {
             BoardLook l = still;
             l.cellSize = 13;
             return l;
         }(), 7},
        {"cells scaled up to 64 pixels", 200, 140, 64, 8, big, 12345},
        {"pieces and empty cells filled", 90, 60, 15, 3, [&] {
             BoardLook l = fills;
             l.cellSize = 15;
             return l;
         }(), 99},
        {"empty cells filled, one frame column", 64, 48, 8, 1, [&] {
             BoardLook l = emptyOnly;
             l.cellSize = 8;
             return l;
         }(), 5},
    };
    for (const Case& c : cases) {
        MsvcRandom random(c.seed), twinRandom(c.seed);
        PixelCanvas pixels(kFormat);
        Timer timer;
        BoardPresenter board(random, pixels, timer);
        ASSERT_TRUE(Load(pixels, TestImage(c.frames))) << c.name;
        Pixels canvas(c.width, c.height);
        pixels.SetPixels(canvas.pixels.data(), c.width, c.height, canvas.stride);
        board.Reset(c.width, c.height, c.look);
        EXPECT_TRUE(timer.on && timer.started == c.look.stepMs) << c.name;

        PlayCycle twin(twinRandom);
        twin.SetOptions(c.look.play);
        twin.SetFrames(c.frames);
        const BoardLayout& layout = board.Layout();
        twin.Resize(layout.cols, layout.rows);
        Expected expected(c);
        expected.Follow(twin.NewBoard());
        expected.Check(canvas, board.Game().GetBoard(), layout, 0);

        int removals = 0, deals = 0;
        for (int step = 1; step <= 400 && !HasFailure(); ++step) {
            const Pixels before = canvas;
            const PlayReport report = twin.Tick();
            pixels.ClearDamage();
            timer.started = -1;
            board.Step();
            expected.Follow(report);
            removals += report.removed;
            deals += report.dealt;
            if (c.look.play.stillFirstFrame && report.frameShown)
                EXPECT_NE(report.frame, 0) << c.name;
            EXPECT_EQ(timer.started == c.look.stepMs, report.restartTimer) << c.name << ", step " << step;
            expected.Check(canvas, board.Game().GetBoard(), layout, step);
            // Whatever changed lies in an area the step reported.
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    if (canvas.At(x, y) == before.At(x, y))
                        continue;
                    bool covered = false;
                    for (const ScreenRect& r : pixels.Damage())
                        covered |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                    ASSERT_TRUE(covered) << c.name << ", step " << step << ": (" << x << ", " << y << ") unreported";
                }
        }
        EXPECT_GT(removals, 3) << c.name;
        EXPECT_GT(deals, 0) << c.name;
        // The stride's padding is never written.
        for (int y = 0; y < c.height; ++y)
            for (int x = c.width; x < canvas.stride; ++x)
                ASSERT_EQ(canvas.At(x, y), 0xDEADu) << c.name;
    }
}

TEST(PixelCanvasTest, ChannelsGoWhereTheDisplayWantsThem)
{
    const struct { PixelFormat format; std::uint32_t rgb, want; } cases[] = {
        {{16, 8, 0, 0}, 0x123456, 0x123456},
        {{0, 8, 16, 0}, 0x123456, 0x563412},
        {{16, 8, 0, 0xFF000000}, 0x00FF01, 0xFF00FF01},
        {{24, 16, 8, 0}, 0xA1B2C3, 0xA1B2C300},
        {{16, 8, 0, 0}, 0xFF123456, 0x123456},  // a stored colour's top byte is not a channel
        // 16-bit 5-6-5 and 15-bit: rounded, full stays full.
        {{11, 5, 0, 0, 5, 6, 5}, 0xFFFFFF, 0xFFFF},
        {{11, 5, 0, 0, 5, 6, 5}, 0xFF0000, 0xF800},
        {{11, 5, 0, 0, 5, 6, 5}, 0x00FF00, 0x07E0},
        {{11, 5, 0, 0, 5, 6, 5}, 0x808080, 0x8410},
        {{10, 5, 0, 0, 5, 5, 5}, 0x0000FF, 0x001F},
        {{10, 5, 0, 0, 5, 5, 5}, 0x000080, 0x0010},
        // 30-bit: ten bits a channel.
        {{20, 10, 0, 0, 10, 10, 10}, 0xFFFFFF, 0x3FFFFFFF},
        {{20, 10, 0, 0, 10, 10, 10}, 0x000080, 0x202},
        {{0, 10, 20, 0, 10, 10, 10}, 0xFF0000, 0x3FF},
        // A colormap: the nearest entry of a two-level cube.
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0x000000, 10},
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0x0000C0, 11},
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0xF01020, 14},
        {{0, 0, 0, 0, 8, 8, 8, 2, {10, 11, 12, 13, 14, 15, 16, 17}}, 0xFFFFFF, 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelOf(c.format, c.rgb), c.want) << std::hex << c.rgb;
}

// A picture the saver would refuse leaves a black, still board, and says why.
TEST(PixelCanvasTest, ARefusedImageOrATooSmallCanvasLeavesABlackStillBoard)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> image;
        int width, height;
        const char* why;
    } cases[] = {
        {"not a bitmap", {'B', 'M', 1, 2, 3}, 100, 75, "not a bitmap"},
        {"320 pixels high", TestImage(2, 320), 100, 75, "64 x 320"},
        {"width not whole cells", [] {
             BmpFile f;
             f.width = 50;
             f.height = 352;
             return f.Bytes();
         }(), 100, 75, "50 x 352"},
        {"a canvas of one cell", TestImage(2), 40, 40, ""},
        {"no canvas", TestImage(2), 0, 0, ""},
    };
    for (const auto& c : cases) {
        MsvcRandom random(1);
        PixelCanvas pixels(kFormat);
        Timer timer;
        BoardPresenter board(random, pixels, timer);
        std::string why;
        const bool loaded = Load(pixels, c.image, &why);
        EXPECT_EQ(loaded, *c.why == '\0') << c.name;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
        Pixels canvas(c.width, c.height);
        pixels.SetPixels(canvas.pixels.data(), c.width, c.height, canvas.stride);
        board.Reset(c.width, c.height, BoardLook{});
        EXPECT_FALSE(timer.on) << c.name;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(canvas.At(x, y), PixelOf(kFormat, 0)) << c.name;
        pixels.ClearDamage();
        board.Step();
        EXPECT_TRUE(pixels.Damage().empty() && !timer.on) << c.name;
    }
}

TEST(PixelCanvasTest, TheBuiltInImageIsOurPieceImage)
{
    const std::string here = __FILE__;
    std::ifstream in(here.substr(0, here.rfind("tests/host/")) + "res/velomass.bmp", std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::vector<unsigned char>(kBuiltInPieceImage, kBuiltInPieceImage + kBuiltInPieceImageSize), file);
    PixelCanvas board(kFormat);
    EXPECT_TRUE(Load(board, file));
    EXPECT_EQ(board.Frames(), 8);
}

} // namespace
