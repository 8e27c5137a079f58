#include "platform/App.h"
#include "platform/Window.h"
#include "win/ModalScript.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr UINT kHandled = WM_APP + 1;        // answered without default processing
constexpr UINT kDefaulted = WM_APP + 2;      // default processing only
constexpr UINT kNested = WM_APP + 3;         // sends kDefaulted first, then Default()
constexpr UINT kDestroyInside = WM_APP + 4;  // destroys the window, then goes on

int g_liveProbes = 0;
int g_liveInHandler = -1;

// Records what reaches its default-procedure hook.
class ProbeWindow : public Window {
public:
    explicit ProbeWindow(bool autoDelete = false, bool failCreate = false)
        : m_autoDelete(autoDelete), m_failCreate(failCreate)
    {
        ++g_liveProbes;
    }
    ~ProbeWindow() override { --g_liveProbes; }

    bool Create(HWND parent = nullptr)
    {
        const std::wstring cls =
            RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr);
        return CreateEx(0, cls, L"probe", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, parent, 0);
    }

    std::vector<std::pair<UINT, LPARAM>> defaulted;
    bool boundAtNcCreate = false;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_NCCREATE:
            boundAtNcCreate = Handle() != nullptr && FromHandle(Handle()) == this;
            return Default();
        case WM_CREATE:
            return m_failCreate ? -1 : Default();
        case kHandled:
            return 7;
        case kNested:
            SendMessageW(Handle(), kDefaulted, 0, 99);
            return Default();
        case kDestroyInside:
            // As a modal loop inside a handler may do.
            ::DestroyWindow(Handle());
            g_liveInHandler = g_liveProbes;
            return Default();
        default:
            return Window::WindowProc(msg, wParam, lParam);
        }
    }
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= WM_APP)
            defaulted.emplace_back(msg, lParam);
        return Window::DefWindowProc(msg, wParam, lParam);
    }
    void PostNcDestroy() override
    {
        if (m_autoDelete)
            delete this;
    }

private:
    bool m_autoDelete, m_failCreate;
};

using Defaulted = std::vector<std::pair<UINT, LPARAM>>;

TEST(WindowTest, BoundFromNcCreateToNcDestroyAndRoutesMessages)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_TRUE(w.boundAtNcCreate) << "the object was not bound when WM_NCCREATE arrived";
    EXPECT_EQ(Window::FromHandle(w.Handle()), &w);

    EXPECT_EQ(SendMessageW(w.Handle(), kHandled, 0, 0), 7);
    SendMessageW(w.Handle(), kDefaulted, 0, 42);
    // Default() refers to its own message even after the handler sent another.
    SendMessageW(w.Handle(), kNested, 0, 5);
    EXPECT_EQ(w.defaulted, (Defaulted{{kDefaulted, 42}, {kDefaulted, 99}, {kNested, 5}}));

    HWND hwnd = w.Handle();
    w.DestroyWindow();
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Window::FromHandle(hwnd), nullptr);

    // An object that goes first takes its window along.
    {
        ProbeWindow early;
        ASSERT_TRUE(early.Create());
        hwnd = early.Handle();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, SelfDeletingObjectGoesWithItsWindowOnly)
{
    const int before = g_liveProbes;
    auto* w = new ProbeWindow(true);
    ASSERT_TRUE(w->Create());
    ::DestroyWindow(w->Handle());
    EXPECT_EQ(g_liveProbes, before) << "the object outlived its window";

    // Destroyed from inside its own handler: deleted once the handler returned.
    w = new ProbeWindow(true);
    ASSERT_TRUE(w->Create());
    HWND hwnd = w->Handle();
    SendMessageW(hwnd, kDestroyInside, 0, 0);
    EXPECT_EQ(g_liveInHandler, before + 1) << "deleted while its own handler still ran";
    EXPECT_EQ(g_liveProbes, before) << "not deleted once the handler returned";
    EXPECT_FALSE(IsWindow(hwnd));

    // A child goes with its parent.
    {
        ProbeWindow parent;
        ASSERT_TRUE(parent.Create());
        ASSERT_TRUE((new ProbeWindow(true))->Create(parent.Handle()));
        parent.DestroyWindow();
        EXPECT_EQ(g_liveProbes, before + 1) << "only the parent object should be left";
    }

    // A failed creation leaves the object to its creator.
    w = new ProbeWindow(true, true);
    EXPECT_FALSE(w->Create());
    EXPECT_EQ(g_liveProbes, before + 1);
    EXPECT_EQ(w->Handle(), nullptr);
    delete w;
    EXPECT_EQ(g_liveProbes, before);
}

class LoopApp : public App {
public:
    bool InitInstance() override { ++initCalls; return false; }
    int initCalls = 0;
};

TEST(AppTest, LoopRunsUntilTheMainWindowGoes)
{
    TakeQuitMessage();
    LoopApp app;
    EXPECT_EQ(App::Current(), &app);
    // Start-up that asks for no loop runs none, and neither does Run
    // without a main window: the posted messages stay queued.
    PostQuitMessage(5);
    PostMessageW(nullptr, WM_APP + 9, 0, 0);
    EXPECT_EQ(app.Main(), 0);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.Run(), 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_APP + 9, WM_APP + 9, PM_REMOVE)) << "a loop ran";
    EXPECT_TRUE(TakeQuitMessage());

    // Another window's end is not the run's end.
    ProbeWindow main, other;
    ASSERT_TRUE(main.Create() && other.Create());
    app.SetMainWindow(&main);
    other.DestroyWindow();
    EXPECT_FALSE(TakeQuitMessage()) << "destroying a window that is not the main one posted WM_QUIT";
    EXPECT_EQ(app.MainWindow(), &main);
    main.DestroyWindow();
    EXPECT_TRUE(TakeQuitMessage());

    for (bool deleteObject : {false, true}) {
        SCOPED_TRACE(deleteObject ? "object deleted first" : "window destroyed");
        auto* w = new ProbeWindow(!deleteObject);
        ASSERT_TRUE(w->Create());
        app.SetMainWindow(w);
        Later([=] { if (deleteObject) delete w; else ::DestroyWindow(w->Handle()); });
        Later([] { PostQuitMessage(99); }, 5000);
        EXPECT_EQ(app.Run(), 0) << "99 means the loop went on after the main window was gone";
        DropPendingSteps();
        EXPECT_EQ(app.MainWindow(), nullptr);
    }
}

}  // namespace
