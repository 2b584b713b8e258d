// Check boxes with a bold caption while checked, on a real button.
#include "common/BoldCheckBox.h"

#include <gtest/gtest.h>

namespace
{

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

TEST(BoldCheckBox, TheCaptionFollowsTheCheckState)
{
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    HWND box = ::CreateWindowExW(0, L"BUTTON", L"Win", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 20, parent,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(SubclassBoldCheckBox(box));
    HFONT bold = GetBoldCheckBoxFont();
    ASSERT_NE(bold, nullptr);
    LOGFONTW description{};
    ::GetObjectW(bold, sizeof(description), &description);
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(FontOf(box), bold) << "set at once from the current state";

    ::SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(FontOf(box), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(FontOf(box), bold);

    EXPECT_TRUE(SubclassBoldCheckBox(box)) << "a second call leaves the subclass as it is";
    ::SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(FontOf(box), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_FALSE(SubclassBoldCheckBox(nullptr));
    ::DestroyWindow(parent);
}

} // namespace
