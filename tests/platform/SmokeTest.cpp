#include <windows.h>
#include <gtest/gtest.h>

TEST(Smoke, CreatesWindow)
{
    HWND w = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    DestroyWindow(w);
}
