#include "common/HotKeyText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

// The keyboard's own name of a key (the names follow the keyboard mapping in use).
std::wstring SystemKeyName(UINT virtualKey, bool extended)
{
    LONG param = static_cast<LONG>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) << 16);
    if (extended)
        param |= 1L << 24;
    wchar_t buffer[100] = {};
    ::GetKeyNameTextW(param, buffer, 99);
    return buffer;
}
} // namespace

TEST(GetKeyNameForVk, FixedAndSystemNames)
{
    EXPECT_EQ(W(GetKeyNameForVk(VK_PAUSE, false)), L"Pause");
    EXPECT_EQ(W(GetKeyNameForVk(VK_LEFT, false)), L"Left");
    EXPECT_EQ(W(GetKeyNameForVk(VK_RIGHT, true)), L"Right");

    struct Case
    {
        UINT key;
        bool extendedAsked;
        bool extendedUsed;
    } cases[] = {
        {'A', false, false},
        {'7', false, false},
        {VK_F5, false, false},
        {VK_SPACE, false, false},
        {VK_CONTROL, false, false},
        {VK_MENU, false, false},
        {VK_SHIFT, false, false},
        {'Q', true, true},
        // Keys that exist only as extended keys get the bit also when it is not asked for.
        {VK_UP, false, true},
        {VK_DOWN, false, true},
        {VK_HOME, false, true},
        {VK_DELETE, false, true},
        {VK_INSERT, false, true},
        {VK_NEXT, false, true},
    };
    for (const Case& c : cases) {
        std::wstring expected = SystemKeyName(c.key, c.extendedUsed);
        EXPECT_FALSE(expected.empty()) << "key " << c.key;
        EXPECT_EQ(W(GetKeyNameForVk(c.key, c.extendedAsked)), expected) << "key " << c.key;
    }
}

TEST(HotKeyToText, ModifiersInFixedOrder)
{
    const std::wstring ctrl = SystemKeyName(VK_CONTROL, false);
    const std::wstring shift = SystemKeyName(VK_SHIFT, false);
    const std::wstring alt = SystemKeyName(VK_MENU, false);
    const std::wstring keyA = SystemKeyName('A', false);
    ASSERT_FALSE(ctrl.empty());
    ASSERT_FALSE(alt.empty());

    struct Case
    {
        UINT key;
        UINT modifiers;
        std::wstring expected;
    } cases[] = {
        {0, 0, L""},
        {'A', MOD_CONTROL | MOD_ALT, ctrl + L"+" + alt + L"+" + keyA},
        {'A', MOD_ALT | MOD_SHIFT | MOD_CONTROL, ctrl + L"+" + shift + L"+" + alt + L"+" + keyA},
        {'A', 0, keyA},
        {'A', MOD_WIN, L"WIN+" + SystemKeyName('A', true)},
        {VK_PAUSE, MOD_CONTROL, ctrl + L"+Pause"},
        {VK_UP, MOD_SHIFT, shift + L"+" + SystemKeyName(VK_UP, true)},
        {VK_F12, MOD_CONTROL | MOD_WIN, ctrl + L"+WIN+" + SystemKeyName(VK_F12, true)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(HotKeyToText(c.key, c.modifiers)), c.expected)
            << "key " << c.key << " mod " << c.modifiers;
}
