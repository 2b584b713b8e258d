// Typing, caret moves and the keyboard-layout switch, recorded through the keyboard input seam
// (nothing reaches the real keyboard input here).
#include "engine/KeyboardInput.h"
#include "engine/KeyboardLayoutSwitch.h"
#include "engine/TypingKeystrokes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Batch = std::vector<std::wstring>;

// "u61" / "u61^" for a character press / release, "k09:0f" / "k09:0f^" for a key with its scan code.
std::wstring Describe(const INPUT& input)
{
    wchar_t text[40] = {};
    const KEYBDINPUT& key = input.ki;
    const bool up = (key.dwFlags & KEYEVENTF_KEYUP) != 0;
    if (key.dwFlags & KEYEVENTF_UNICODE)
        swprintf(text, 40, L"u%x%ls", key.wScan, up ? L"^" : L"");
    else
        swprintf(text, 40, L"k%02x:%02x%ls", key.wVk, key.wScan, up ? L"^" : L"");
    EXPECT_EQ(input.type, static_cast<DWORD>(INPUT_KEYBOARD));
    EXPECT_EQ(key.time, 0u);
    EXPECT_EQ(key.dwExtraInfo, 0u);
    return text;
}

std::wstring Key(WORD vk, bool up, bool withScan = false)
{
    wchar_t text[40] = {};
    const WORD scan = withScan ? static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) : 0;
    swprintf(text, 40, L"k%02x:%02x%ls", vk, scan, up ? L"^" : L"");
    return text;
}

std::wstring Char(wchar_t ch, bool up)
{
    wchar_t text[40] = {};
    swprintf(text, 40, L"u%x%ls", ch, up ? L"^" : L"");
    return text;
}

// Press and release.
void Stroke(Batch& batch, WORD vk, bool withScan = false)
{
    batch.push_back(Key(vk, false, withScan));
    batch.push_back(Key(vk, true, withScan));
}

void Typed(Batch& batch, const std::wstring& text)
{
    for (const wchar_t ch : text) {
        batch.push_back(Char(ch, false));
        batch.push_back(Char(ch, true));
    }
}

// Records every SendInput call as one batch; gives layouts from a script.
class RecordingInput : public IKeyboardInput
{
public:
    UINT Send(const INPUT* inputs, UINT count) override
    {
        Batch batch;
        for (UINT i = 0; i < count; ++i)
            batch.push_back(Describe(inputs[i]));
        batches.push_back(batch);
        return count;
    }
    HKL GetThreadLayout(DWORD threadId) override
    {
        layoutReads.push_back(threadId);
        const size_t toggles = batches.size();
        return toggles < layoutAfterToggles.size() ? layoutAfterToggles[toggles] : layoutAfterToggles.back();
    }
    int GetLayoutCount() override { return layoutCount; }
    void Pause(DWORD ms) override { pauses.push_back(ms); }

    std::vector<Batch> batches;
    std::vector<DWORD> layoutReads;
    std::vector<DWORD> pauses;
    int layoutCount = 1;
    // The thread's layout once n toggles were sent (index n).
    std::vector<HKL> layoutAfterToggles{reinterpret_cast<HKL>(0x04090409)};
};

class KeystrokesTest : public testing::Test
{
protected:
    RecordingInput input;
    CKeyboardInputOverride useInput{input};
};

HKL Layout(UINT_PTR bits)
{
    return reinterpret_cast<HKL>(bits);
}

// The four events of one toggle with the keys the current registry value chooses.
Batch ExpectedToggle()
{
    WORD first = 0;
    WORD second = 0;
    GetLayoutToggleKeys(ReadLayoutToggleHotkey(), first, second);
    return {Key(first, false), Key(second, false, true), Key(second, true, true), Key(first, true)};
}
} // namespace

TEST_F(KeystrokesTest, TypingSendsCtrlReleaseAloneThenOneBatch)
{
    ASSERT_TRUE(TypeTextAndMoveCaret(L"ab\tc", 2));
    ASSERT_EQ(input.batches.size(), 2u);
    EXPECT_EQ(input.batches[0], Batch{Key(VK_CONTROL, true)});

    Batch expected;
    Typed(expected, L"ab");
    Stroke(expected, VK_TAB, true);
    Typed(expected, L"c");
    expected.push_back(Key(VK_SHIFT, true));
    Stroke(expected, VK_LEFT);
    Stroke(expected, VK_LEFT);
    EXPECT_EQ(input.batches[1], expected);
}

TEST_F(KeystrokesTest, TypedBatchesForLineBreaksSurrogatesAndNoCaretMove)
{
    struct Case
    {
        const wchar_t* text;
        Batch expected;
    };
    Batch crlf;
    Typed(crlf, L"x");
    Stroke(crlf, VK_RETURN, true);
    Stroke(crlf, 0x0A, true);
    // A line feed on its own still breaks the line.
    Batch lone;
    Typed(lone, L"a");
    Stroke(lone, VK_RETURN, true);
    Typed(lone, L"b");
    Batch crOnly;
    Stroke(crOnly, VK_RETURN, true);
    Typed(crOnly, L"z");
    Batch surrogate;
    Typed(surrogate, L"\xD83D\xDE00!");
    Batch cyrillic;
    Typed(cyrillic, L"\x0416");

    const Case cases[] = {
        {L"x\r\n", crlf},      {L"a\nb", lone}, {L"\rz", crOnly}, {L"\xD83D\xDE00!", surrogate},
        {L"\x0416", cyrillic},
    };
    for (const Case& c : cases) {
        input.batches.clear();
        ASSERT_TRUE(TypeTextAndMoveCaret(c.text, 0)) << c.text;
        ASSERT_EQ(input.batches.size(), 2u) << c.text;
        EXPECT_EQ(input.batches[1], c.expected) << c.text;
    }
}

TEST_F(KeystrokesTest, EmptyTextSendsNothing)
{
    EXPECT_FALSE(TypeTextAndMoveCaret(L"", 3));
    EXPECT_TRUE(input.batches.empty());
}

TEST_F(KeystrokesTest, CaretLeftAndSelect)
{
    EXPECT_FALSE(SendCaretLeftAndSelect(0, 0));
    EXPECT_TRUE(input.batches.empty());

    ASSERT_TRUE(SendCaretLeftAndSelect(2, 0));
    Batch leftOnly;
    Stroke(leftOnly, VK_LEFT);
    Stroke(leftOnly, VK_LEFT);
    leftOnly.push_back(Key(VK_SHIFT, false));
    leftOnly.push_back(Key(VK_SHIFT, true));
    ASSERT_EQ(input.batches.size(), 1u);
    EXPECT_EQ(input.batches[0], leftOnly);

    input.batches.clear();
    ASSERT_TRUE(SendCaretLeftAndSelect(1, 2));
    Batch select;
    Stroke(select, VK_LEFT);
    select.push_back(Key(VK_SHIFT, false));
    Stroke(select, VK_RIGHT);
    Stroke(select, VK_RIGHT);
    select.push_back(Key(VK_SHIFT, true));
    ASSERT_EQ(input.batches.size(), 1u);
    EXPECT_EQ(input.batches[0], select);
}

TEST(LayoutToggleMethod, ReadFromTheRegistryValue)
{
    const std::wstring root =
        L"Software\\ScrivolanterTests\\Keystrokes-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring toggleKey = root + L"\\Toggle";
    const wchar_t* kTestKey = toggleKey.c_str();
    EXPECT_EQ(ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kTestKey), kToggleUnknown) << "missing key";

    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kTestKey), kToggleAltShift) << "missing value";

    struct Case
    {
        const wchar_t* value;
        int method;
    };
    const Case cases[] = {{L"1", 1},  {L"2", 2}, {L"3", 3}, {L"4", 4},
                          {L"21", 2}, {L"x", 0}, {L"", 0},  {L"5", 0}};
    for (const Case& c : cases) {
        RegSetValueExW(key, L"Hotkey", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.value),
                       static_cast<DWORD>((wcslen(c.value) + 1) * sizeof(wchar_t)));
        EXPECT_EQ(ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kTestKey), c.method) << c.value;
    }
    // A value of another type, and a string stored without its terminator.
    const DWORD number = 2;
    RegSetValueExW(key, L"Hotkey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    EXPECT_EQ(ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kTestKey), kToggleUnknown);
    RegSetValueExW(key, L"Hotkey", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"2"), sizeof(wchar_t));
    EXPECT_EQ(ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kTestKey), kToggleCtrlShift);

    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ScrivolanterTests"); // only when no other test uses it
}

TEST(LayoutToggleMethod, KeysOfEachMethod)
{
    struct Case
    {
        int method;
        WORD first;
        WORD second;
    };
    const Case cases[] = {
        {kToggleAltShift, VK_LMENU, VK_SHIFT}, {kToggleCtrlShift, VK_LCONTROL, VK_SHIFT},
        {kToggleNone, VK_LMENU, VK_SHIFT},     {kToggleGrave, 0, VK_OEM_3},
        {kToggleUnknown, VK_LMENU, VK_SHIFT},
    };
    for (const Case& c : cases) {
        WORD first = 1;
        WORD second = 1;
        GetLayoutToggleKeys(c.method, first, second);
        EXPECT_EQ(first, c.first) << c.method;
        EXPECT_EQ(second, c.second) << c.method;
    }
}

TEST_F(KeystrokesTest, TwoLayoutsToggleOnceWithoutReadingBack)
{
    input.layoutCount = 2;
    SwitchToKeyboardLayout(Layout(0x04190419), 1234, nullptr);
    ASSERT_EQ(input.batches.size(), 1u);
    EXPECT_EQ(input.batches[0], ExpectedToggle());
    EXPECT_TRUE(input.layoutReads.empty());
}

TEST_F(KeystrokesTest, ThreeLayoutsStopWhenTheLanguageMatches)
{
    input.layoutCount = 3;
    // After the first toggle the thread has the wanted language under another layout handle.
    input.layoutAfterToggles = {Layout(0x04090409), Layout(0xF0A80419), Layout(0x04070407)};
    SwitchToKeyboardLayout(Layout(0x04190419), 1234, nullptr);
    EXPECT_EQ(input.batches.size(), 1u);
    EXPECT_EQ(input.layoutReads, std::vector<DWORD>{1234});
    EXPECT_TRUE(input.pauses.empty()) << "no pause without a window of another process";
}

TEST_F(KeystrokesTest, UnreachableLayoutEndsAfterTheLimit)
{
    input.layoutCount = 3;
    input.layoutAfterToggles = {Layout(0x04090409), Layout(0x04070407), Layout(0x04090409),
                                Layout(0x04070407)};
    SwitchKeyboardLayout(Layout(0x04190419), 77, nullptr, 3);
    ASSERT_EQ(input.batches.size(), 3u);
    for (const Batch& batch : input.batches)
        EXPECT_EQ(batch, ExpectedToggle());
    EXPECT_EQ(input.layoutReads.size(), 3u);
}

TEST_F(KeystrokesTest, WindowOfAnotherProcessGetsTimeForEachToggle)
{
    const HWND desktop = GetDesktopWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(desktop, &process);
    if (process == GetCurrentProcessId())
        GTEST_SKIP() << "the desktop window belongs to this process here";
    input.layoutCount = 4;
    input.layoutAfterToggles = {Layout(0x04090409), Layout(0x04070407), Layout(0x04190419)};
    SwitchKeyboardLayout(Layout(0x04190419), 5, desktop, 4);
    EXPECT_EQ(input.batches.size(), 2u);
    EXPECT_EQ(input.pauses, (std::vector<DWORD>{200, 200}));
}
