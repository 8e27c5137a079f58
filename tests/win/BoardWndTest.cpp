#include "board/BoardWnd.h"
#include "platform/Gdi.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

namespace {

int g_liveBoards = 0;

class CountedBoard : public BoardWnd {
public:
    explicit CountedBoard(BOOL autoDelete) : BoardWnd(autoDelete) { ++g_liveBoards; }
    ~CountedBoard() override { --g_liveBoards; }

    int ticks = 0;

protected:
    void OnTimer(UINT_PTR id) override
    {
        ++ticks;
        BoardWnd::OnTimer(id);
    }
};

// A white top-level window of the test's own to hold the boards.
class HostWindow : public Window {
public:
    bool Create(int width, int height)
    {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
        return CreateEx(0, RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr),
                        L"board host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, r.right - r.left, r.bottom - r.top,
                        nullptr, 0);
    }
};

RECT Rect(int l, int t, int r, int b)
{
    return RECT{l, t, r, b};
}

TEST(BoardWndTest, ClassRegisteredOnceWithItsLook)
{
    HostWindow host;
    ASSERT_TRUE(host.Create(200, 100));
    BoardWnd a(FALSE), b(FALSE);
    ASSERT_TRUE(a.Create(0, WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 50), host.Handle(), 0, nullptr));
    ASSERT_TRUE(b.Create(0, WS_CHILD | WS_VISIBLE, Rect(60, 0, 110, 50), host.Handle(), 0, nullptr));

    wchar_t nameA[128] = {}, nameB[128] = {};
    GetClassNameW(a.Handle(), nameA, 128);
    GetClassNameW(b.Handle(), nameB, 128);
    EXPECT_STREQ(nameA, nameB);
    EXPECT_EQ(GetClassLongPtrW(a.Handle(), GCW_ATOM), GetClassLongPtrW(b.Handle(), GCW_ATOM));

    EXPECT_EQ(GetClassLongPtrW(a.Handle(), GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(a.Handle(), GCLP_HBRBACKGROUND)), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(a.Handle(), GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(a.Handle(), GCLP_HICON)), nullptr);

    // Created with an empty title and child id 0, whatever id is asked for.
    BoardWnd c(FALSE);
    ASSERT_TRUE(c.Create(0, WS_CHILD, Rect(0, 60, 10, 70), host.Handle(), 77, reinterpret_cast<void*>(1)));
    EXPECT_EQ(GetWindowTextLengthW(c.Handle()), 0);
    EXPECT_EQ(GetDlgCtrlID(c.Handle()), 0);
}

TEST(BoardWndTest, GeometryFollowsTheRectangle)
{
    HostWindow host;
    ASSERT_TRUE(host.Create(152, 112));
    BoardWnd board(FALSE);
    RECT client{};
    GetClientRect(host.Handle(), &client);
    ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, client, host.Handle(), 0, nullptr));
    RECT got{};
    GetWindowRect(board.Handle(), &got);
    MapWindowPoints(nullptr, host.Handle(), reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, 0);
    EXPECT_EQ(got.top, 0);
    EXPECT_EQ(got.right, 152);
    EXPECT_EQ(got.bottom, 112);
    EXPECT_EQ(GetParent(board.Handle()), host.Handle());
}

TEST(BoardWndTest, SelfDeletingBoardIsFreedAndMemberBoardIsNot)
{
    HostWindow host;
    ASSERT_TRUE(host.Create(200, 100));
    const int before = g_liveBoards;

    auto* preview = new CountedBoard(TRUE);
    ASSERT_TRUE(preview->Create(0, WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 50), host.Handle(), 0, nullptr));
    CountedBoard member(FALSE);
    ASSERT_TRUE(member.Create(0, WS_CHILD | WS_VISIBLE, Rect(60, 0, 110, 50), host.Handle(), 0, nullptr));
    EXPECT_EQ(g_liveBoards, before + 2);

    // The parent going takes both windows along, as the display settings
    // and the settings dialog do.
    host.DestroyWindow();
    EXPECT_EQ(g_liveBoards, before + 1) << "the self-deleting board must be gone, the member one kept";
    EXPECT_EQ(member.Handle(), nullptr);
}

TEST(BoardWndTest, FailedCreateKeepsTheObject)
{
    const int before = g_liveBoards;
    auto* board = new CountedBoard(TRUE);
    // A child window needs a parent: creation fails.
    EXPECT_FALSE(board->Create(0, WS_CHILD, Rect(0, 0, 10, 10), nullptr, 0, nullptr));
    EXPECT_EQ(g_liveBoards, before + 1);
    delete board;
    EXPECT_EQ(g_liveBoards, before);
}

TEST(BoardWndTest, PaintsBlackBeforeAnyImage)
{
    HostWindow host;
    ASSERT_TRUE(host.Create(160, 120));
    BoardWnd board(FALSE);
    ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, Rect(20, 10, 120, 90), host.Handle(), 0, nullptr));
    ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(host.Handle());
    PumpUntil([] { return false; }, 200);

    // Read the host's client area back through a copy into a memory bitmap.
    ClientDC screen(host.Handle());
    MemoryDC mem(screen.Handle());
    GdiBitmap shot(CreateCompatibleBitmap(screen.Handle(), 160, 120));
    {
        SelectGuard keep(mem.Handle(), shot.Get());
        BitBlt(mem.Handle(), 0, 0, 160, 120, screen.Handle(), 0, 0, SRCCOPY);
        const struct {
            int x, y;
            COLORREF want;
        } points[] = {
            {20, 10, RGB(0, 0, 0)},    {119, 89, RGB(0, 0, 0)},       {70, 50, RGB(0, 0, 0)},
            {5, 5, RGB(255, 255, 255)}, {150, 110, RGB(255, 255, 255)}, {19, 50, RGB(255, 255, 255)},
        };
        for (const auto& p : points)
            EXPECT_EQ(GetPixel(mem.Handle(), p.x, p.y) & 0xFFFFFF, p.want) << "at " << p.x << "," << p.y;
    }
}

TEST(BoardWndTest, RestartTimerDeliversTicksToOnTimer)
{
    HostWindow host;
    ASSERT_TRUE(host.Create(100, 100));
    CountedBoard board(FALSE);
    ASSERT_TRUE(board.Create(0, WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 50), host.Handle(), 0, nullptr));
    board.RestartTimer(1, 10);
    board.RestartTimer(1, 10);
    EXPECT_TRUE(PumpUntil([&] { return board.ticks >= 3; }));
    EXPECT_TRUE(KillTimer(board.Handle(), 1)) << "the timer was not running";
}

}  // namespace
