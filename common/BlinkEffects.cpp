#include "common/BlinkEffects.h"

#include "common/GdiObjectGuards.h"

#include <system_error>
#include <thread>

namespace
{
constexpr int kBlinkCount = 3;
constexpr DWORD kFontOtherMs = 300;
constexpr DWORD kFontOriginalMs = 400;
constexpr DWORD kWindowHiddenMs = 100;
constexpr DWORD kWindowShownMs = 400;
constexpr DWORD kTwoFontStepMs = 250;

template <typename Body>
bool StartDetached(Body body)
{
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void Notify(HWND window, UINT message, WPARAM wParam)
{
    if (message != 0 && ::IsWindow(window))
        ::SendMessageW(window, message, wParam, 0);
}

// The font with its weight swapped: 700 becomes 400, anything else 700.
GdiObject<HFONT> OtherWeightFont(HFONT font)
{
    LOGFONTW logFont = {};
    if (::GetObjectW(font, sizeof(logFont), &logFont) != static_cast<int>(sizeof(logFont)))
        return GdiObject<HFONT>();
    logFont.lfWeight = logFont.lfWeight == FW_BOLD ? FW_NORMAL : FW_BOLD;
    return GdiObject<HFONT>(::CreateFontIndirectW(&logFont));
}

void RunFontBlink(HWND control, UINT notifyMessage, HWND notifyWindow)
{
    auto original = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(control), WM_GETFONT, 0, 0));
    if (!original)
        return;
    GdiObject<HFONT> other = OtherWeightFont(original);
    if (!other)
        return;

    Notify(notifyWindow, notifyMessage, 1);
    for (int i = 0; i < kBlinkCount && ::IsWindow(control); ++i) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(other.get()), TRUE);
        ::Sleep(kFontOtherMs);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(original), TRUE);
        ::Sleep(kFontOriginalMs);
    }
    Notify(notifyWindow, notifyMessage, 0);
}

void RunTwoFontBlink(HWND window, HFONT fontA, HFONT fontB, HWND notifyWindow, UINT message, WPARAM wParam,
                     LPARAM lParam)
{
    for (int i = 0; i < kBlinkCount && ::IsWindow(window); ++i) {
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontA), TRUE);
        ::Sleep(kTwoFontStepMs);
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontB), TRUE);
        ::Sleep(kTwoFontStepMs);
    }
    if (message != 0 && ::IsWindow(notifyWindow))
        ::SendMessageW(notifyWindow, message, wParam, lParam);
}

void RunWindowBlink(HWND window)
{
    for (int i = 0; i < kBlinkCount; ++i) {
        if (!::IsWindow(window))
            return;
        ::ShowWindow(window, SW_HIDE);
        ::Sleep(kWindowHiddenMs);
        if (!::IsWindow(window))
            return;
        ::ShowWindow(window, SW_SHOW);
        ::Sleep(kWindowShownMs);
    }
}
} // namespace

bool BlinkControlFont(HWND control, UINT notifyMessage, HWND notifyWindow)
{
    if (!::IsWindow(control))
        return false;
    return StartDetached([=] { RunFontBlink(control, notifyMessage, notifyWindow); });
}

bool BlinkControlFont(HWND window, HFONT fontA, HFONT fontB, HWND notifyWindow, UINT message, WPARAM wParam,
                      LPARAM lParam)
{
    if (!::IsWindow(window))
        return false;
    return StartDetached(
        [=] { RunTwoFontBlink(window, fontA, fontB, notifyWindow, message, wParam, lParam); });
}

bool BlinkWindow(HWND window)
{
    if (!::IsWindow(window))
        return false;
    return StartDetached([=] { RunWindowBlink(window); });
}
