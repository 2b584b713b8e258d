// The language bar's combo on a real window: filled from ".lng" files of a temp folder with the
// how-to item last, and a choice sends the language command (or posts the how-to command).

#include "editor/app/frame/LanguageBar.h"

#include "support/MessagePump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windowsx.h>

namespace
{

std::vector<UINT> g_commands;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_commands.push_back(LOWORD(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(LanguageBarCombo, FillsFromLanguageFilesAndSwitches)
{
    scvtest::TempFolder temp;
    temp.WriteUtf16(L"German.lng", L"[Main]\r\nLangLocalized=Deutsch\r\nLangPrefix=De\r\n");
    temp.WriteUtf16(L"French.lng", L"[Main]\r\nLangLocalized=Francais\r\nLangPrefix=Fr\r\n");

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LanguageBarTestMain";
    RegisterClassW(&windowClass);
    HWND main = CreateWindowW(L"LanguageBarTestMain", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    HWND combo = CreateWindowW(L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200, 200, main, nullptr,
                               windowClass.hInstance, nullptr);
    ASSERT_TRUE(combo);

    std::vector<CString> list;
    LanguageBarCombo::Fill(combo, temp.Path().c_str(), L"German.lng", L"",
                           LanguageBarCombo::HowToText(L"Tip\nHow To"), list);

    ASSERT_EQ(list.size(), 3u);
    EXPECT_STREQ(list[1], L"French.lng");
    ASSERT_EQ(ComboBox_GetCount(combo), 4);
    wchar_t text[100] = {};
    ComboBox_GetLBText(combo, 3, text);
    EXPECT_STREQ(text, L"How To");
    EXPECT_EQ(ComboBox_GetCurSel(combo), 2);
    EXPECT_EQ(LanguageBarCombo::SelectedCommand(combo), 30002u);

    g_commands.clear();
    ComboBox_SetCurSel(combo, 1);
    EXPECT_TRUE(LanguageBarCombo::Dispatch(combo, main));
    ComboBox_SetCurSel(combo, 3);
    EXPECT_TRUE(LanguageBarCombo::Dispatch(combo, main));
    scvtest::PumpUntil([] { return g_commands.size() >= 2; }, 2000);
    EXPECT_EQ(g_commands, (std::vector<UINT>{30001, 32776}));

    DestroyWindow(main);
}

} // namespace
