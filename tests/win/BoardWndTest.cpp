#include "win/BoardProbe.h"

#include <gtest/gtest.h>

namespace {

// A white top-level window of the test's own with a client area of the size.
class BoardHost : public Window {
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

// Two boards share one class with its look; a board sits where it is asked
// and is black until an image is loaded.
TEST(BoardWndTest, OneClassAndBlackBeforeAnyImage)
{
    BoardHost host;
    ASSERT_TRUE(host.Create(160, 120));
    BoardWnd a, b;
    ASSERT_TRUE(a.Create(0, WS_CHILD | WS_VISIBLE, RECT{20, 10, 120, 90}, host.Handle(), 77, &host));
    ASSERT_TRUE(b.Create(0, WS_CHILD, RECT{0, 0, 10, 10}, host.Handle(), 0, nullptr));
    EXPECT_EQ(GetClassLongPtrW(a.Handle(), GCW_ATOM), GetClassLongPtrW(b.Handle(), GCW_ATOM)) << "a second class";
    EXPECT_NE(GetClassLongPtrW(a.Handle(), GCW_ATOM), GetClassLongPtrW(host.Handle(), GCW_ATOM)) << "the host's look";
    EXPECT_EQ(GetClassLongPtrW(a.Handle(), GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrW(a.Handle(), GCLP_HBRBACKGROUND)), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(a.Handle(), GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(a.Handle(), GCLP_HICON)), nullptr);

    // An empty title and child id 0, whatever id is asked for.
    EXPECT_EQ(GetWindowTextLengthW(a.Handle()), 0);
    EXPECT_EQ(GetDlgCtrlID(a.Handle()), 0);
    RECT at{};
    GetWindowRect(a.Handle(), &at);
    MapWindowPoints(nullptr, host.Handle(), reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(std::to_string(at.left) + "," + std::to_string(at.top) + "-" + std::to_string(at.right) + "," +
                  std::to_string(at.bottom),
              "20,10-120,90");

    ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(host.Handle());
    PumpUntil([] { return false; }, 200);
    const boardprobe::Pixels shot = boardprobe::CaptureWindow(host.Handle());
    const struct {
        int x, y;
        COLORREF want;
    } points[] = {
        {20, 10, RGB(0, 0, 0)},    {119, 89, RGB(0, 0, 0)},       {70, 50, RGB(0, 0, 0)},
        {5, 50, RGB(255, 255, 255)}, {150, 110, RGB(255, 255, 255)}, {19, 50, RGB(255, 255, 255)},
    };
    for (const auto& p : points)
        EXPECT_EQ(shot.At(p.x, p.y), p.want) << "at " << p.x << "," << p.y;
}

}  // namespace
