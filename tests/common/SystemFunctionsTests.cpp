// test-locks: desktop
#include "common/LayeredWindowApi.h"
#include "common/RuntimeBinding.h"
#include "common/SystemFunctions.h"

#include <gtest/gtest.h>

#include <dwmapi.h>

namespace
{
struct PopupWindow
{
    HWND hwnd = nullptr;
    explicit PopupWindow(DWORD exStyle = 0)
    {
        hwnd = ::CreateWindowExW(exStyle, L"STATIC", L"probe", WS_POPUP, 10, 10, 120, 80, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    ~PopupWindow()
    {
        if (hwnd)
            ::DestroyWindow(hwnd);
    }
};

using GetTickCountFn = DWORD(WINAPI*)();
} // namespace

TEST(RuntimeBinding, FindsPresentAndAnswersNullForMissing)
{
    EXPECT_NE(FindFunctionInUse<GetTickCountFn>(L"kernel32.dll", "GetTickCount"), nullptr);
    EXPECT_EQ(FindFunctionInUse<GetTickCountFn>(L"kernel32.dll", "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(FindFunctionInUse<GetTickCountFn>(L"nosuchmodule_scv.dll", "GetTickCount"), nullptr);
    EXPECT_EQ(FindFunction<GetTickCountFn>(nullptr, "GetTickCount"), nullptr);

    CLoadedModule missing(L"nosuchmodule_scv.dll");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.Find<GetTickCountFn>("GetTickCount"), nullptr);
}

TEST(RuntimeBinding, ModuleLoadedForTheCallIsFreedAfterwards)
{
    const wchar_t* name = L"cabinet.dll";
    if (::GetModuleHandleW(name))
        GTEST_SKIP() << "module already in use by the test process";
    {
        CLoadedModule module(name);
        ASSERT_TRUE(module.IsLoaded());
        EXPECT_EQ(::GetModuleHandleW(name), module.GetHandle());
    }
    EXPECT_EQ(::GetModuleHandleW(name), nullptr);
}

TEST(SystemFunctions, DwmWrappersNeedTheModuleInUse)
{
    PopupWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    if (::GetModuleHandleW(L"Dwmapi.dll"))
        GTEST_SKIP() << "dwmapi already loaded by something else";

    EXPECT_EQ(DwmSetForceIconicRepresentation(window.hwnd, true), E_NOTIMPL);
    EXPECT_EQ(DwmSetHasIconicBitmap(window.hwnd, true), E_NOTIMPL);
    EXPECT_EQ(CallDwmSetIconicThumbnail(window.hwnd, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(CallDwmExtendFrameIntoClientArea(window.hwnd), E_NOTIMPL);
    EXPECT_EQ(CallDwmSetIconicLivePreviewBitmap(window.hwnd, nullptr), E_NOTIMPL);

    ASSERT_NE(LoadDwmApi(), nullptr);
    // Now the function is reached; whatever the system answers, it is not the
    // wrapper's own "missing" value.
    BOOL value = FALSE;
    EXPECT_NE(
        CallDwmSetWindowAttribute(window.hwnd, DWMWA_FORCE_ICONIC_REPRESENTATION, &value, sizeof(value)),
        E_NOTIMPL);
}

TEST(SystemFunctions, ProtectHandleFromCloseSetsAndClearsTheFlag)
{
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    DWORD flags = 0;

    EXPECT_NE(ProtectHandleFromClose(event, true), 0);
    ASSERT_TRUE(::GetHandleInformation(event, &flags));
    EXPECT_TRUE(flags & HANDLE_FLAG_PROTECT_FROM_CLOSE);

    EXPECT_NE(ProtectHandleFromClose(event, false), 0);
    ASSERT_TRUE(::GetHandleInformation(event, &flags));
    EXPECT_FALSE(flags & HANDLE_FLAG_PROTECT_FROM_CLOSE);
    ::CloseHandle(event);
}

TEST(LayeredWindowApi, OpacityPercentGivesAlpha)
{
    PopupWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    CLayeredWindowApi api;
    CLayeredWindowApi::SetLayeredStyle(window.hwnd);
    ASSERT_TRUE(::GetWindowLongPtrW(window.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    const struct
    {
        BYTE percent;
        BYTE alpha;
    } cases[] = {{150, 255}, {100, 255}, {50, 127}, {1, 2}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        ASSERT_TRUE(api.SetOpacityPercent(window.hwnd, c.percent));
        BYTE alpha = 1;
        DWORD flags = 0;
        ASSERT_TRUE(::GetLayeredWindowAttributes(window.hwnd, nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, c.alpha);
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    }

    EXPECT_EQ(CLayeredWindowApi::ClearLayeredStyle(window.hwnd), 1);
    EXPECT_FALSE(::GetWindowLongPtrW(window.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(CLayeredWindowApi::ClearLayeredStyle(window.hwnd), 0);
}

TEST(SystemFunctions, IdleTimeIsSmallRightAfterInput)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dx = 1;
    ASSERT_EQ(::SendInput(1, &input, sizeof(input)), 1u);
    input.mi.dx = -1;
    ::SendInput(1, &input, sizeof(input));

    const LONGLONG idle = GetIdleTimeMs();
    EXPECT_GE(idle, 0);
    EXPECT_LT(idle, 5000);
}

TEST(SystemFunctions, BroadcastReachesOurTopLevelWindow)
{
    const UINT message = ::RegisterWindowMessageW(L"ScvTest_BroadcastProbe_7D3F");
    PopupWindow window;
    ASSERT_NE(window.hwnd, nullptr);

    EXPECT_GT(BroadcastPostSystemMessage(message, 0x1234, 0x5678), 0);

    MSG msg = {};
    bool received = false;
    const DWORD start = ::GetTickCount();
    while (!received && ::GetTickCount() - start < 3000) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == message && msg.hwnd == window.hwnd && msg.wParam == 0x1234 &&
                msg.lParam == 0x5678)
                received = true;
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
    EXPECT_TRUE(received);
}

TEST(SystemFunctions, ThemeWrappersAgreeWithTheLoadedModule)
{
    HMODULE uxtheme = ::LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(uxtheme, nullptr);
    ASSERT_EQ(GetUxThemeModule(), uxtheme);

    PopupWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    // Reached: the system's own answer, not the wrapper's "missing" value.
    EXPECT_NE(SetWindowThemeDyn(window.hwnd, L"Explorer", nullptr), E_FAIL);

    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT rect = {0, 0, 20, 20};
    const bool drew = DrawCaptionCloseButton(window.hwnd, dc, rect, false, true);
    if (!IsAppThemedDyn()) {
        EXPECT_FALSE(drew);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ::FreeLibrary(uxtheme);
}
