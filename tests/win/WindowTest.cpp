#include "platform/App.h"
#include "platform/Window.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr UINT kHandled = WM_APP + 1;     // answered without default processing
constexpr UINT kDefaulted = WM_APP + 2;   // handled, then default processing
constexpr UINT kNested = WM_APP + 3;      // sends kDefaulted first, then Default()
constexpr UINT kFailCreate = WM_APP + 4;  // wParam: fail WM_CREATE
constexpr UINT kDestroyInside = WM_APP + 5;  // destroys the window, then goes on

int g_livesAfterDestroyInHandler = -1;

int g_liveProbes = 0;

// Records what reaches its handlers and its default-procedure hook.
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
        const std::wstring cls = RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr);
        const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
        return CreateEx(0, cls, L"probe", style, 0, 0, 100, 80, parent, 0);
    }

    std::vector<UINT> defaulted;  // messages seen by the DefWindowProc hook
    std::vector<LPARAM> defaultedParams;
    bool sawNcCreateBound = false;
    int timerTicks = 0;
    UINT_PTR lastTimer = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_NCCREATE:
            sawNcCreateBound = Handle() != nullptr && FromHandle(Handle()) == this;
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
            g_livesAfterDestroyInHandler = g_liveProbes;
            timerTicks = 77;  // the object must still be ours to write
            return Default();
        default:
            return Window::WindowProc(msg, wParam, lParam);
        }
    }

    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= WM_APP) {
            defaulted.push_back(msg);
            defaultedParams.push_back(lParam);
        }
        return Window::DefWindowProc(msg, wParam, lParam);
    }

    void OnTimer(UINT_PTR id) override
    {
        ++timerTicks;
        lastTimer = id;
        KillTimer(Handle(), id);
    }

    void PostNcDestroy() override
    {
        if (m_autoDelete)
            delete this;
    }

private:
    bool m_autoDelete;
    bool m_failCreate;
};

TEST(WindowTest, BindsAtNcCreateAndRoutesMessages)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_TRUE(w.sawNcCreateBound) << "the object was not bound when WM_NCCREATE arrived";
    EXPECT_EQ(Window::FromHandle(w.Handle()), &w);

    EXPECT_EQ(SendMessageW(w.Handle(), kHandled, 0, 0), 7);
    EXPECT_TRUE(w.defaulted.empty()) << "a handled message reached default processing";

    SendMessageW(w.Handle(), kDefaulted, 0, 42);
    ASSERT_EQ(w.defaulted.size(), 1u);
    EXPECT_EQ(w.defaulted[0], kDefaulted);
    EXPECT_EQ(w.defaultedParams[0], 42);
}

TEST(WindowTest, DefaultRefersToTheMessageItWasCalledFor)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    // The handler sends another message before asking for default
    // processing of its own; the hook must see both, each with its lParam.
    SendMessageW(w.Handle(), kNested, 0, 5);
    ASSERT_EQ(w.defaulted.size(), 2u);
    EXPECT_EQ(w.defaulted[0], kDefaulted);
    EXPECT_EQ(w.defaultedParams[0], 99);
    EXPECT_EQ(w.defaulted[1], kNested);
    EXPECT_EQ(w.defaultedParams[1], 5);
}

TEST(WindowTest, TimersArriveWithTheirId)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    SetTimer(w.Handle(), 3, 10, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return w.timerTicks > 0; }));
    EXPECT_EQ(w.lastTimer, 3u);
}

TEST(WindowTest, UnboundAtNcDestroy)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create());
    HWND hwnd = w.Handle();
    w.DestroyWindow();
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
}

TEST(WindowTest, SelfDeletingObjectIsFreedWithItsWindow)
{
    const int before = g_liveProbes;
    auto* w = new ProbeWindow(true);
    ASSERT_TRUE(w->Create());
    EXPECT_EQ(g_liveProbes, before + 1);
    ::DestroyWindow(w->Handle());
    EXPECT_EQ(g_liveProbes, before) << "the object outlived its window";

    // A member object stays to its owner.
    {
        ProbeWindow member(false);
        ASSERT_TRUE(member.Create());
        member.DestroyWindow();
        EXPECT_EQ(g_liveProbes, before + 1);
        EXPECT_EQ(member.Handle(), nullptr);
    }
    EXPECT_EQ(g_liveProbes, before);
}

TEST(WindowTest, SelfDeletingObjectOutlivesTheHandlerThatDestroyedIt)
{
    const int before = g_liveProbes;
    auto* w = new ProbeWindow(true);
    ASSERT_TRUE(w->Create());
    HWND hwnd = w->Handle();
    g_livesAfterDestroyInHandler = -1;
    SendMessageW(hwnd, kDestroyInside, 0, 0);
    EXPECT_EQ(g_livesAfterDestroyInHandler, before + 1) << "deleted while its own handler still ran";
    EXPECT_EQ(g_liveProbes, before) << "not deleted once the handler returned";
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, ChildOfADestroyedParentDeletesItself)
{
    const int before = g_liveProbes;
    ProbeWindow parent;
    ASSERT_TRUE(parent.Create());
    auto* child = new ProbeWindow(true);
    ASSERT_TRUE(child->Create(parent.Handle()));
    parent.DestroyWindow();
    EXPECT_EQ(g_liveProbes, before + 1) << "only the parent object should be left";
}

TEST(WindowTest, FailedCreationLeavesTheObjectToItsCreator)
{
    const int before = g_liveProbes;
    auto* w = new ProbeWindow(true, true);
    EXPECT_FALSE(w->Create());
    // Still alive although it deletes itself after destruction.
    EXPECT_EQ(g_liveProbes, before + 1);
    EXPECT_EQ(w->Handle(), nullptr);
    delete w;
    EXPECT_EQ(g_liveProbes, before);
}

TEST(WindowTest, ObjectDestroyedBeforeItsWindowTakesTheWindowAlong)
{
    HWND hwnd = nullptr;
    {
        ProbeWindow w;
        ASSERT_TRUE(w.Create());
        hwnd = w.Handle();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, RegisterWindowClassOncePerLook)
{
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const std::wstring a = RegisterWindowClass(CS_HREDRAW, nullptr, black, nullptr);
    const std::wstring b = RegisterWindowClass(CS_HREDRAW, nullptr, black, nullptr);
    const std::wstring c = RegisterWindowClass(CS_HREDRAW, nullptr, white, nullptr);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    WNDCLASSEXW wc{sizeof wc};
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), c.c_str(), &wc));
    EXPECT_EQ(wc.hbrBackground, white);
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW));
}

class LoopApp : public App {
public:
    bool InitInstance() override { return true; }
};

TEST(AppTest, LoopEndsAtOnceWithoutMainWindow)
{
    LoopApp app;
    // A quit left over would end the loop too; make sure there is none.
    TakeQuitMessage();
    const UINT marker = WM_APP + 9;
    PostMessageW(nullptr, marker, 0, 0);
    EXPECT_EQ(app.Run(), 0);
    // The loop did not run: the message is still queued.
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, marker, marker, PM_REMOVE));
}

void CALLBACK DestroyOnTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    DestroyWindow(hwnd);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    PostQuitMessage(99);
}

TEST(AppTest, LoopEndsWhenTheMainWindowIsDestroyed)
{
    LoopApp app;
    TakeQuitMessage();
    auto* w = new ProbeWindow(true);
    ASSERT_TRUE(w->Create());
    app.SetMainWindow(w);
    SetTimer(w->Handle(), 1, 20, DestroyOnTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, Watchdog);
    const int code = app.Run();
    KillTimer(nullptr, watchdog);
    EXPECT_EQ(code, 0) << "99 means the loop went on after the main window was gone";
    EXPECT_EQ(app.MainWindow(), nullptr);
}

ProbeWindow* g_doomed = nullptr;

void CALLBACK DeleteObjectOnTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    delete g_doomed;
    g_doomed = nullptr;
}

TEST(AppTest, LoopEndsWhenTheMainWindowObjectIsDeletedFirst)
{
    LoopApp app;
    TakeQuitMessage();
    g_doomed = new ProbeWindow(false);
    ASSERT_TRUE(g_doomed->Create());
    app.SetMainWindow(g_doomed);
    SetTimer(g_doomed->Handle(), 1, 20, DeleteObjectOnTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, Watchdog);
    const int code = app.Run();
    KillTimer(nullptr, watchdog);
    EXPECT_EQ(code, 0) << "99 means the loop went on after the main window was gone";
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST(AppTest, OtherWindowsDoNotEndTheLoop)
{
    LoopApp app;
    TakeQuitMessage();
    ProbeWindow main;
    ASSERT_TRUE(main.Create());
    app.SetMainWindow(&main);
    ProbeWindow other;
    ASSERT_TRUE(other.Create());
    other.DestroyWindow();
    EXPECT_FALSE(TakeQuitMessage()) << "destroying a window that is not the main one posted WM_QUIT";
    EXPECT_EQ(app.MainWindow(), &main);
    main.DestroyWindow();
    EXPECT_TRUE(TakeQuitMessage());
}

class MainSetApp : public App {
public:
    bool InitInstance() override
    {
        ++initCalls;
        return startLoop;
    }
    bool startLoop = false;
    int initCalls = 0;
};

TEST(AppTest, MainRunsTheLoopOnlyWhenStartUpAsksForIt)
{
    TakeQuitMessage();
    MainSetApp app;
    EXPECT_EQ(App::Current(), &app);
    PostQuitMessage(5);
    // FALSE: no loop, so the quit message stays queued.
    EXPECT_EQ(app.Main(), 0);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_TRUE(TakeQuitMessage());
}

}  // namespace
