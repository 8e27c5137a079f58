#include "platform/Window.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kAnswered = WM_APP + 1;

// Notes what reaches its handler and answers kAnswered itself.
class ProbeWindow : public Window {
public:
    bool Create(HWND parent = nullptr)
    {
        const std::wstring cls = RegisterWindowClass(0, nullptr, nullptr, nullptr);
        return CreateEx(0, cls, L"probe", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, parent, 0);
    }

    bool boundAtNcCreate = false;
    int destroys = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCCREATE)
            boundAtNcCreate = Handle() != nullptr;
        destroys += msg == WM_DESTROY;
        return msg == kAnswered ? 7 : Window::WindowProc(msg, wParam, lParam);
    }
};

TEST(WindowTest, BoundFromNcCreateToNcDestroy)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_TRUE(w.boundAtNcCreate) << "the object was not bound when WM_NCCREATE arrived";
    EXPECT_FALSE(w.Create()) << "a second window for one object";
    EXPECT_EQ(SendMessageW(w.Handle(), kAnswered, 0, 0), 7);

    // A child goes with its parent and lets go of its object.
    ProbeWindow child;
    ASSERT_TRUE(child.Create(w.Handle()));
    HWND hwnd = w.Handle();
    ::DestroyWindow(w.Handle());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_EQ(child.Handle(), nullptr) << "the child's object still names a destroyed window";
    EXPECT_EQ(w.destroys + child.destroys, 2);

    // An object that goes first takes its window along, unheard.
    {
        ProbeWindow early;
        ASSERT_TRUE(early.Create());
        hwnd = early.Handle();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
