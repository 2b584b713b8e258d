// test-sources: MenuItemServicesTests.rc
// Menu item services on real menus: a command copied from a nested sub-menu with its text, a command
// the menu has already left alone, texts read by position and by command, and menus that do not load.

#include "editor/controls/MenuItemServices.h"

#include "common/MenuUtils.h"

#include <gtest/gtest.h>

namespace
{

// "File" > "Recent" > "Open &Again…\tCtrl+R" (id 301); "Edit" > "&Copy…\tCtrl+C" (id 302).
HMENU MakeSource()
{
    HMENU source = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    AppendMenuW(recent, MF_STRING, 301, L"Open &Again\u2026\tCtrl+R");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), L"Recent");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, 302, L"&Copy...\tCtrl+C");
    AppendMenuW(edit, MF_STRING, 303, L"\tTabbed");
    AppendMenuW(source, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
    AppendMenuW(source, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"Edit");
    return source;
}

TEST(MenuItemServices, CopiesANestedCommandWithItsTextOnce)
{
    HMENU source = MakeSource();
    HMENU menu = CreatePopupMenu();

    EXPECT_TRUE(MenuItemServices::CopyMenuItemFromMenu(menu, 301, source));
    EXPECT_FALSE(MenuItemServices::CopyMenuItemFromMenu(menu, 301, source));
    EXPECT_FALSE(MenuItemServices::CopyMenuItemFromMenu(menu, 999, source));

    ASSERT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(GetMenuItemID(menu, 0), 301u);
    CString text;
    const int length = MenuItemServices::GetMenuItemString(menu, 0, text, MF_BYPOSITION);
    EXPECT_EQ(length, text.GetLength());
    EXPECT_STREQ(text, L"Open &Again\u2026\tCtrl+R");
    EXPECT_EQ(MenuItemServices::GetMenuItemString(menu, 77, text, MF_BYCOMMAND), 0);
    EXPECT_TRUE(text.IsEmpty());

    DestroyMenu(menu);
    DestroyMenu(source);
}

TEST(MenuItemServices, CaptionLosesShortcutAndEllipsisButKeepsALeadingTab)
{
    HMENU source = MakeSource();
    EXPECT_STREQ(GetMenuItemCaption(source, 302), L"&Copy");
    EXPECT_STREQ(GetMenuItemCaption(source, 301), L"Open &Again");
    EXPECT_STREQ(GetMenuItemCaption(source, 303), L"\tTabbed");
    DestroyMenu(source);
}

TEST(MenuItemServices, ResourceMenuIsAttachedAndItsNestedCommandAppendedOnce)
{
    CMenu attached;
    ASSERT_TRUE(MenuItemServices::AttachMenuResource(attached, 4242));
    EXPECT_EQ(attached.GetMenuItemCount(), 2);
    EXPECT_FALSE(MenuItemServices::AttachMenuResource(attached, 54321));
    EXPECT_EQ(static_cast<HMENU>(attached), nullptr) << "a failed attach leaves no old menu behind";

    HMENU menu = CreatePopupMenu();
    EXPECT_TRUE(MenuItemServices::AppendMenuItemFromResource(menu, 301, 4242));
    EXPECT_FALSE(MenuItemServices::AppendMenuItemFromResource(menu, 301, 4242));
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    CString text;
    MenuItemServices::GetMenuItemString(menu, 301, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Open &Again\tCtrl+R");
    EXPECT_STREQ(MenuItemServices::LoadMenuItemText(4242, 302), L"&Copy");
    DestroyMenu(menu);
}

TEST(MenuItemServices, MissingResourceMenuGivesNothing)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_TRUE(MenuItemServices::LoadMenuItemText(54321, 301).IsEmpty());
    EXPECT_FALSE(MenuItemServices::AppendMenuItemFromResource(menu, 301, 54321));
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    AppendMenuW(menu, MF_STRING, 301, L"Have it");
    EXPECT_FALSE(MenuItemServices::AppendMenuItemFromResource(menu, 301, 54321));
    DestroyMenu(menu);
}

TEST(MenuItemServices, BitmapIsSetForAnExistingCommandOnly)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 5, L"Item");
    HBITMAP bitmap = CreateBitmap(13, 13, 1, 1, nullptr);
    EXPECT_TRUE(MenuItemServices::SetMenuItemBitmap(menu, 5, bitmap));
    EXPECT_FALSE(MenuItemServices::SetMenuItemBitmap(menu, 6, bitmap));
    DestroyMenu(menu);
    DeleteObject(bitmap);
}

} // namespace
