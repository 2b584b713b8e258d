// test-locks: desktop
// The item data records of the phrase menu: their text limits, how they are
// attached to menu items, found again and freed with the menu's sub-menus;
// the one-line preview; the program commands' keys.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/MenuLocalizer.h"
#include "menus/phrasemenu/MenuCommandKeys.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"

namespace
{

void AppendItemWithRecord(HMENU menu, UINT id)
{
    ::AppendMenuW(menu, MF_OWNERDRAW, id, nullptr);
    EXPECT_TRUE(AttachMenuItemDrawInfo(menu, id, false, std::make_unique<MenuItemDrawInfo>(L"item", 0, id)));
}

TEST(MenuItemDrawInfo, ConstructionAndTextLimits)
{
    MenuItemDrawInfo empty;
    EXPECT_STREQ(empty.text, L"");
    EXPECT_EQ(empty.caretOffset, -1);
    EXPECT_EQ(empty.number, -1);
    EXPECT_EQ(empty.commandId, 0);
    EXPECT_EQ(empty.flags, 0);

    MenuItemDrawInfo phrase(L"Caption", kMenuItemDataExec, 1234);
    EXPECT_STREQ(phrase.text, L"Caption");
    EXPECT_EQ(phrase.dataType, kMenuItemDataExec);
    EXPECT_EQ(phrase.commandId, 1234);

    const std::wstring longText(400, L'x');
    EXPECT_TRUE(phrase.SetCommandText(longText.c_str()));
    EXPECT_EQ(std::wstring(phrase.commandText), std::wstring(255, L'x'));

    EXPECT_TRUE(phrase.SetText(L""));
    EXPECT_STREQ(phrase.text, L"Caption") << "an empty text leaves the field alone";
    EXPECT_FALSE(phrase.SetText(nullptr));
    EXPECT_FALSE(phrase.SetText(phrase.text + 2)) << "a source inside the field is refused";
    EXPECT_STREQ(phrase.text, L"Caption");
    EXPECT_TRUE(phrase.SetRightText(phrase.text + 3)) << "another field may be the source";
    EXPECT_STREQ(phrase.rightText, L"tion");

    phrase.SetToolTipText(CString(std::wstring(4100, L't').c_str()));
    EXPECT_EQ(phrase.GetToolTipText().GetLength(), MenuItemDrawInfo::kMaxToolTipChars);
}

TEST(MenuItemDrawInfo, AttachedRecordsAreFoundAndFreedWithSubMenus)
{
    CMenuHolder menu(::CreatePopupMenu());
    AppendItemWithRecord(menu, 100);
    ::AppendMenuW(menu, MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
    ASSERT_TRUE(AttachMenuItemDrawInfo(menu, 1, true, std::make_unique<MenuItemDrawInfo>()));

    HMENU folder = ::CreatePopupMenu();
    AppendItemWithRecord(folder, 200);
    HMENU inner = ::CreatePopupMenu();
    AppendItemWithRecord(inner, 300);
    ASSERT_TRUE(AppendSubMenuItem(inner, folder, CString(L"Inner"), false, true));
    ASSERT_TRUE(AppendSubMenuItem(folder, menu, CString(L"Folder"), true, false));

    MenuItemDrawInfo* first = GetMenuItemDrawInfo(menu, 100);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetMenuItemDrawInfoByPosition(menu, 0), first);
    EXPECT_EQ(GetMenuItemDrawInfo(inner, 300), GetMenuItemDrawInfoByPosition(inner, 0));
    EXPECT_EQ(GetMenuItemDrawInfo(menu, 999), nullptr);
    EXPECT_EQ(GetMenuItemDrawInfoByPosition(menu, 7), nullptr);

    const MenuItemDrawInfo* folderInfo = GetMenuItemDrawInfoByPosition(menu, 2);
    ASSERT_NE(folderInfo, nullptr);
    EXPECT_STREQ(folderInfo->text, L"Folder");
    EXPECT_TRUE(folderInfo->IsSubMenu());
    EXPECT_EQ(folderInfo->historyStyle, 1);
    EXPECT_EQ(folderInfo->defaultMark, 0);
    EXPECT_EQ(folderInfo->row, 2) << "row = its position";
    const MenuItemDrawInfo* innerInfo = GetMenuItemDrawInfoByPosition(folder, 1);
    ASSERT_NE(innerInfo, nullptr);
    EXPECT_EQ(innerInfo->defaultMark, 1);
    EXPECT_EQ(innerInfo->historyStyle, 0);

    FreeMenuItemDrawInfos(menu);
    // Every record of every level was freed and its item's data cleared.
    for (int position = 0; position < 3; ++position)
        EXPECT_EQ(GetMenuItemDrawInfoByPosition(menu, position), nullptr) << position;
    EXPECT_EQ(GetMenuItemDrawInfoByPosition(folder, 0), nullptr);
    EXPECT_EQ(GetMenuItemDrawInfoByPosition(folder, 1), nullptr);
    EXPECT_EQ(GetMenuItemDrawInfo(inner, 300), nullptr);
    FreeMenuItemDrawInfos(menu); // a second pass finds nothing to free
}

TEST(MenuItemDrawInfo, AttachingToAMissingItemFails)
{
    CMenuHolder menu(::CreatePopupMenu());
    EXPECT_FALSE(AttachMenuItemDrawInfo(menu, 42, false, std::make_unique<MenuItemDrawInfo>()));
    EXPECT_FALSE(AttachMenuItemDrawInfo(nullptr, 0, true, std::make_unique<MenuItemDrawInfo>()));
    CMenuHolder orphan(::CreatePopupMenu());
    EXPECT_FALSE(AppendSubMenuItem(orphan, nullptr, CString(L"x"), false, false));
}

TEST(MenuItemDrawInfo, SingleLinePreview)
{
    struct Case
    {
        const wchar_t* preview;
        const wchar_t* expected;
    };
    const std::wstring seventy(70, L'a');
    const Case cases[] = {
        {L"", L""},
        {L" \r\n\tplain\t \n", L"plain"},
        {L"one\n\ntwo\r\nthree\rfour\nfive", L"one two three four five"},
        {L"a\n\n\nb", L"a  b"},
        {seventy.c_str(), seventy.c_str()},
    };
    for (const Case& c : cases) {
        MenuItemDrawInfo info;
        info.preview = c.preview;
        EXPECT_STREQ(GetSingleLinePreview(info), c.expected)
            << testing::PrintToString(std::wstring(c.preview));
    }
    MenuItemDrawInfo longOne;
    longOne.preview = (seventy + L"bcd").c_str();
    EXPECT_EQ(std::wstring(GetSingleLinePreview(longOne)), seventy + L"\u2026");
}

TEST(MenuCommandKeys, TwoWayMapOfTheProgramCommands)
{
    const int pairs[][2] = {{-2, 32772}, {-4, 32826}, {-6, 32784}, {-8, 32792}, {-9, 32829}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(GetMenuCommandKey(pair[1]), pair[0]);
        EXPECT_EQ(GetMenuKeyCommand(pair[0]), pair[1]);
        EXPECT_TRUE(IsMenuCommandMapped(pair[1]));
    }
    for (int other : {0, -1, 2000, 32773, 32830}) {
        EXPECT_EQ(GetMenuCommandKey(other), 0);
        EXPECT_FALSE(IsMenuCommandMapped(other));
    }
    EXPECT_EQ(GetMenuKeyCommand(-3), 0);
    EXPECT_EQ(GetMenuKeyCommand(0), 0);
}

} // namespace
