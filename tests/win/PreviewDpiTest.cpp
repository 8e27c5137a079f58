#include "app/win/Modes.h"
#include "board/win/BoardWnd.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

namespace {

template <class Function>
Function User32(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// A host of another process would be a window of its own awareness; here
// this thread makes it under each context in turn. A child of another
// awareness is refused by default, so the preview must take its host's.
TEST(PreviewDpiTest, ThePreviewTakesItsHostsAwarenessAndFillsIt)
{
    using Context = DPI_AWARENESS_CONTEXT;
    const auto setThread = User32<Context(WINAPI*)(Context)>("SetThreadDpiAwarenessContext");
    const auto ofWindow = User32<Context(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    const auto ofThread = User32<Context(WINAPI*)()>("GetThreadDpiAwarenessContext");
    const auto equal = User32<BOOL(WINAPI*)(Context, Context)>("AreDpiAwarenessContextsEqual");
    ASSERT_TRUE(setThread && ofWindow && ofThread && equal) << "no DPI awareness contexts here";

    for (const Context kind : {DPI_AWARENESS_CONTEXT_UNAWARE, DPI_AWARENESS_CONTEXT_SYSTEM_AWARE,
                               DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2}) {
        const Context before = setThread(kind);
        const HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 20, 30, 152, 112, nullptr,
                                          nullptr, GetModuleHandleW(nullptr), nullptr);
        setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        const Context ours = ofThread();
        ASSERT_NE(host, nullptr);
        {
            const std::unique_ptr<BoardWnd> board = StartPreview(host);
            ASSERT_NE(board, nullptr) << "no preview in a host of context " << kind;
            RECT got{}, want{};
            GetClientRect(board->Handle(), &got);
            GetClientRect(host, &want);
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.bottom, want.bottom);
            EXPECT_EQ(GetParent(board->Handle()), host);
            EXPECT_TRUE(equal(ofWindow(board->Handle()), ofWindow(host))) << "not the host's awareness " << kind;
            EXPECT_TRUE(equal(ofThread(), ours)) << "the thread kept the host's awareness " << kind;
        }
        setThread(before);
        DestroyWindow(host);
    }
    PumpUntil([] { return false; }, 30);
    TakeQuitMessage();
}

}  // namespace
