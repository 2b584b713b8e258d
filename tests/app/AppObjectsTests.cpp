// test-locks: desktop
#include "app/AppObjects.h"

#include "common/DefaultBrowser.h"
#include "platform/CIdleHandler.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A hidden window standing in for the tray window: answers the requests the
// application services send it.
class FakeMainWindow
{
public:
    FakeMainWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvTestFakeMainWindow";
            return ::RegisterClassW(&wc);
        }();
        m_window = ::CreateWindowExW(0, MAKEINTATOM(atom), L"main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CAppObjects::SetMainWnd(m_window);
    }
    ~FakeMainWindow()
    {
        CAppObjects::SetMainWnd(nullptr);
        ::DestroyWindow(m_window);
    }
    HWND Get() const { return m_window; }

    std::wstring itemSource;         // what WM_APP+25 answers
    WPARAM itemSourceBufferSize = 0; // the size the request carried
    std::vector<std::wstring> notes; // texts sent to the list

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<FakeMainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == CAppObjects::GetMainWndListMessage()) {
            self->notes.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
            return 1;
        }
        if (message == WM_APP + 25) {
            self->itemSourceBufferSize = wParam;
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            const std::wstring text = self->itemSource.substr(0, wParam - 1);
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = L'\0';
            return 1;
        }
        if (message >= WM_APP)
            return message - WM_APP;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND m_window = nullptr;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HWND CreateModelessDialog(HWND owner)
{
    // An empty dialog template: style, no controls.
    struct
    {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialogTemplate{};
    dialogTemplate.header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
    dialogTemplate.header.cx = 100;
    dialogTemplate.header.cy = 50;
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &dialogTemplate.header, owner,
                                        PlainDialogProc, 0);
}

bool IsOpen(HWND window)
{
    return ::IsWindow(window) && ::IsWindowVisible(window);
}

struct CountingIdleHandler : CIdleHandler
{
    BOOL OnIdle() override { return FALSE; }
};
} // namespace

TEST(AppObjects, RequestsWithoutAMainWindowDoNothing)
{
    ASSERT_EQ(CAppObjects::GetMainWnd(), nullptr);
    EXPECT_EQ(CAppObjects::QueryAllowWaitAnswerFromExeAgent(), 0);
    EXPECT_FALSE(CAppObjects::BlockClipboardCaptureViaMainWnd());
    EXPECT_FALSE(CAppObjects::PostShowFloatPane());
    EXPECT_EQ(CAppObjects::SendTextToMainWndList(L"note"), 0);
    EXPECT_TRUE(GetOpenWithProgramForCurrentItem().IsEmpty());
    EXPECT_EQ(CAppObjects::CloseOwnDialogs(), 0);
}

TEST(AppObjects, OpenWithProgramAsksForTheItemWithTheBufferSize)
{
    FakeMainWindow main;
    main.itemSource = L"C:\\docs\\note.TXT";
    EXPECT_EQ(std::wstring(GetOpenWithProgramForCurrentItem()),
              std::wstring(GetOpenCommandExeForExtension(L".txt")));
    EXPECT_EQ(main.itemSourceBufferSize, 2048u);

    main.itemSource = L"http://example.com/page";
    EXPECT_EQ(std::wstring(GetOpenWithProgramForCurrentItem()), std::wstring(GetDefaultBrowserPath()));

    main.itemSource = L"";
    EXPECT_TRUE(GetOpenWithProgramForCurrentItem().IsEmpty());
}

TEST(AppObjects, CloseOwnDialogsClosesOnlyTheMainWindowsDialogs)
{
    FakeMainWindow main;
    HWND own = CreateModelessDialog(main.Get());
    HWND foreign = CreateModelessDialog(nullptr);
    HWND ownPlainWindow = ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                            main.Get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(own && foreign && ownPlainWindow);
    ASSERT_TRUE(IsOpen(own));

    EXPECT_EQ(CAppObjects::CloseOwnDialogs(), 1);
    EXPECT_FALSE(IsOpen(own));
    EXPECT_TRUE(IsOpen(foreign));
    EXPECT_TRUE(IsOpen(ownPlainWindow));

    ::DestroyWindow(own);
    ::DestroyWindow(foreign);
    ::DestroyWindow(ownPlainWindow);
}

TEST(AppObjects, IdleHandlerList)
{
    static CountingIdleHandler handler;
    const size_t before = GetIdleHandlerList().size();
    AddIdleHandlerToList(nullptr);
    AddIdleHandlerToList(&handler);
    ASSERT_EQ(GetIdleHandlerList().size(), before + 1);
    EXPECT_EQ(GetIdleHandlerList().back(), &handler);
}

TEST(AppObjects, LanguageSubmenuKeepsItsFirstItem)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"Edit language file");
    ::AppendMenuW(menu, MF_STRING, 33000, L"stale");
    ::AppendMenuW(menu, MF_STRING, 33001, L"stale too");

    EXPECT_EQ(FillLanguageSubmenu(menu, {}), 0);
    EXPECT_EQ(::GetMenuItemCount(menu), 3) << "an empty list changes nothing";

    EXPECT_EQ(FillLanguageSubmenu(menu, {CString(), CString(L"Deutsch_Test.lng")}), 4);
    EXPECT_EQ(::GetMenuItemID(menu, 0), 1u);
    EXPECT_EQ(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(::GetMenuItemID(menu, 2), 33000u);
    EXPECT_EQ(::GetMenuItemID(menu, 3), 33001u);
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, 3, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Deutsch_Test");
    ::DestroyMenu(menu);
}
