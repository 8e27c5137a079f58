#include "app/win/Modes.h"
#include "board/win/BoardWnd.h"
#include "platform/Dpi.h"
#include "win/WinTestUtil.h"

#include <gtest/gtest.h>

namespace {

using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using WindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
using ContextsEqual = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);

template <class Function>
Function User32(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// A host of another process would be a window of its own awareness; here
// it is made by this thread under each context in turn.
HWND MakeHost(DPI_AWARENESS_CONTEXT context, SetThreadContext setThread)
{
    const DPI_AWARENESS_CONTEXT before = setThread ? setThread(context) : nullptr;
    const HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 20, 30, 152, 112, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    if (before)
        setThread(before);
    return host;
}

TEST(PreviewDpiTest, ThePreviewTakesItsHostsAwarenessAndFillsIt)
{
    const auto setThread = User32<SetThreadContext>("SetThreadDpiAwarenessContext");
    const auto ofWindow = User32<WindowContext>("GetWindowDpiAwarenessContext");
    const auto ofThread = User32<ThreadContext>("GetThreadDpiAwarenessContext");
    const auto equal = User32<ContextsEqual>("AreDpiAwarenessContextsEqual");
    const bool contexts = setThread && ofWindow && ofThread && equal;
    if (!contexts)
        std::printf("no DPI awareness contexts here: only the preview's size and lifetime are checked\n");

    const DPI_AWARENESS_CONTEXT kinds[] = {DPI_AWARENESS_CONTEXT_UNAWARE, DPI_AWARENESS_CONTEXT_SYSTEM_AWARE,
                                           DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2};
    for (const DPI_AWARENESS_CONTEXT kind : kinds) {
        const HWND host = MakeHost(kind, setThread);
        ASSERT_NE(host, nullptr);
        const DPI_AWARENESS_CONTEXT threadBefore = contexts ? setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) : nullptr;
        const DPI_AWARENESS_CONTEXT ours = contexts ? ofThread() : nullptr;
        if (contexts) {
            {
                const ThreadDpiLikeWindow likeHost(host);
                EXPECT_TRUE(likeHost.Taken());
                EXPECT_TRUE(equal(ofThread(), ofWindow(host))) << "the thread did not take the host's awareness " << kind;
            }
            EXPECT_TRUE(equal(ofThread(), ours)) << "the thread kept the host's awareness " << kind;
        }
        {
            const std::unique_ptr<BoardWnd> board = StartPreview(host);
            ASSERT_NE(board, nullptr) << "no preview in a host of context " << kind;
            RECT got{}, want{};
            GetClientRect(board->Handle(), &got);
            GetClientRect(host, &want);
            EXPECT_EQ(got.right, want.right);
            EXPECT_EQ(got.bottom, want.bottom);
            EXPECT_EQ(GetParent(board->Handle()), host);
            if (contexts) {
                EXPECT_TRUE(equal(ofWindow(board->Handle()), ofWindow(host)))
                    << "the preview did not take its host's awareness, context " << kind;
                EXPECT_TRUE(equal(ofThread(), ours)) << "the thread kept the host's awareness after the preview";
            }
        }
        if (threadBefore)
            setThread(threadBefore);
        DestroyWindow(host);
    }
    PumpUntil([] { return false; }, 30);
    TakeQuitMessage();
}

}  // namespace
