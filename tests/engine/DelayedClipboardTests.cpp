// test-locks: clipboard
// Delayed rendering with a real second process as the reader: Wine 8 sends WM_RENDERFORMAT to
// the owner window when a process of the same bitness reads the announced format.
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardSaver.h"
#include "engine/DelayedClipboardOwner.h"
#include "support/ChildMain.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using scvtest::PumpUntil;
using Outcome = CDelayedClipboardOwner::Outcome;

namespace
{
bool OpenClipboardPatiently()
{
    for (int i = 0; i < 200; ++i) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(10);
    }
    return false;
}

std::wstring ClipboardText()
{
    CString text;
    GetClipboardUnicodeText(text);
    return std::wstring(text.GetString());
}

ClipboardBlockMap TextBlocks(const std::wstring& text)
{
    ClipboardBlockMap blocks;
    blocks[CF_UNICODETEXT] = ClipboardBlockRef{text.c_str(), (text.size() + 1) * sizeof(wchar_t)};
    return blocks;
}

// Waits for a child with this thread's messages pumped (the owner window must answer it).
std::optional<DWORD> PumpUntilExit(scvtest::ChildProcess& child, DWORD timeoutMs)
{
    PumpUntil([&] { return !child.IsRunning(); }, timeoutMs);
    return child.ExitCode();
}
} // namespace

// args: delay in ms, expected text. Exit 0 when the clipboard's text is the expected one,
// 2 when there is no text, 3 when it differs, 4 when the clipboard cannot be opened.
SCV_CHILD_MAIN(read_clipboard_later)
{
    Sleep(static_cast<DWORD>(std::stoul(args.at(0))));
    if (!OpenClipboardPatiently())
        return 4;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring text;
    if (const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (!data)
        return 2;
    return text == args.at(1) ? 0 : 3;
}

// args: text. Copies the text as another program would.
SCV_CHILD_MAIN(copy_text)
{
    return PutClipboardUnicodeText(args.at(0).c_str()) ? 0 : 1;
}

TEST(DelayedClipboardOwner, AnotherProcessReadsTheAnnouncedText)
{
    CDelayedClipboardOwner owner;
    ASSERT_TRUE(owner.Create());
    const std::wstring phrase = L"phrase rendered on request";
    ASSERT_TRUE(owner.Offer(TextBlocks(phrase)));
    EXPECT_TRUE(owner.IsOfferOnClipboard());
    EXPECT_EQ(owner.GetRenderCount(), 0);

    auto reader = scvtest::LaunchSelf(L"read_clipboard_later", {L"0", phrase});
    ASSERT_TRUE(reader.Started());
    EXPECT_EQ(PumpUntilExit(reader, 15000), std::optional<DWORD>(0));
    EXPECT_EQ(owner.GetRenderCount(), 1);
}

TEST(DelayedClipboardOwner, ReportsHowTheOfferEnded)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* child; // nullptr: nobody touches the clipboard
        DWORD boundMs;
        Outcome expected;
    };
    const Case cases[] = {
        {L"late reader", L"read_clipboard_later", 15000, Outcome::Read},
        {L"nobody reads", nullptr, 300, Outcome::NeverRead},
        {L"another copy", L"copy_text", 15000, Outcome::Replaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
        CDelayedClipboardOwner owner;
        ASSERT_TRUE(owner.Create());
        const std::wstring phrase = L"the phrase";
        ASSERT_TRUE(owner.Offer(TextBlocks(phrase)));
        std::optional<Outcome> outcome;
        owner.WatchReads(200, c.boundMs, [&](Outcome o) { outcome = o; });
        scvtest::ChildProcess child;
        if (c.child && std::wstring(c.child) == L"read_clipboard_later")
            child = scvtest::LaunchSelf(c.child, {L"1500", phrase});
        else if (c.child)
            child = scvtest::LaunchSelf(c.child, {L"another program's copy"});
        EXPECT_TRUE(PumpUntil([&] { return outcome.has_value(); }, 15000));
        EXPECT_EQ(outcome, std::optional<Outcome>(c.expected));
        if (child.Started()) {
            // The reader ended before the outcome: the data was taken first.
            EXPECT_EQ(PumpUntilExit(child, 15000), std::optional<DWORD>(0));
        }
        if (c.expected == Outcome::Replaced)
            EXPECT_EQ(ClipboardText(), L"another program's copy");
    }
}

TEST(DelayedClipboardOwner, LeavesItsDataBehindWhenDestroyed)
{
    {
        CDelayedClipboardOwner owner;
        ASSERT_TRUE(owner.Create());
        ASSERT_TRUE(owner.Offer(TextBlocks(L"kept after the owner")));
    }
    auto reader = scvtest::LaunchSelf(L"read_clipboard_later", {L"0", L"kept after the owner"});
    EXPECT_EQ(PumpUntilExit(reader, 15000), std::optional<DWORD>(0));
}

namespace
{
// The user's clipboard: a text and a block of a format of the test's own.
UINT UserFormat()
{
    static const UINT format = RegisterClipboardFormatW(L"ScvSaverTestFormat");
    return format;
}

bool PutUserContent(const std::wstring& text)
{
    ClipboardBlockMap blocks = TextBlocks(text);
    static const char extra[] = "user bytes";
    blocks[UserFormat()] = ClipboardBlockRef{extra, sizeof(extra)};
    return PutClipboardFormats(blocks);
}

bool IsClipboardHeldElsewhere()
{
    if (!OpenClipboard(nullptr))
        return true;
    CloseClipboard();
    return false;
}

bool HasUserFormat()
{
    return IsClipboardFormatAvailable(UserFormat()) != FALSE;
}
} // namespace

// args: milliseconds to hold the clipboard open. Opened for a window: under Wine an opening
// without a window does not keep another opening without a window out.
SCV_CHILD_MAIN(hold_clipboard)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool open = false;
    for (int i = 0; i < 200 && !open; ++i) {
        open = OpenClipboard(window) != FALSE;
        if (!open)
            Sleep(10);
    }
    if (!open)
        return 4;
    Sleep(static_cast<DWORD>(std::stoul(args.at(0))));
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}

TEST(ClipboardSaver, PastedPhraseIsReadBeforeTheUserContentComesBack)
{
    struct Case
    {
        const char* name;
        const wchar_t* child; // what happens after the "paste"
        DWORD boundMs;        // well above a child's start and its 1.5 s wait, or short for nobody
        std::wstring expectedAfter;
    };
    const Case cases[] = {
        {"target reads 1.5 s late", L"read_clipboard_later", 15000, L"user content"},
        {"target never reads", nullptr, 300, L"user content"},
        {"another program copies meanwhile", L"copy_text", 15000, L"another program's copy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutUserContent(L"user content"));
        CClipboardSaver saver;
        saver.SetDelayedRendering(true);
        saver.SetReadTimes(200, c.boundMs);
        ASSERT_GT(saver.Save(), 0u);
        ASSERT_TRUE(saver.MayCarryPhrase());
        ASSERT_TRUE(saver.PutForPaste(TextBlocks(L"the phrase")));
        saver.RestoreAfterInsertion();
        EXPECT_TRUE(saver.IsRestoreWaiting());
        scvtest::ChildProcess child;
        if (c.child && std::wstring(c.child) == L"read_clipboard_later")
            child = scvtest::LaunchSelf(c.child, {L"1500", L"the phrase"});
        else if (c.child)
            child = scvtest::LaunchSelf(c.child, {L"another program's copy"});
        if (c.child)
            ASSERT_TRUE(child.Started()) << "error " << child.StartError();
        EXPECT_TRUE(PumpUntil([&] { return !saver.IsSaved(); }, 30000));
        // The reader exits with 0 only when it found the phrase (not the user's content) when it
        // read; the copier only when its copy was taken.
        if (c.child)
            EXPECT_EQ(PumpUntilExit(child, 15000), std::optional<DWORD>(0))
                << "the target did not get the phrase";
        EXPECT_EQ(ClipboardText(), c.expectedAfter);
        EXPECT_EQ(HasUserFormat(), c.expectedAfter == L"user content");
    }
}

// Another program copies while the paste keystrokes are still going out, before the wait for the
// target begins: its copy stays.
TEST(ClipboardSaver, ACopyMadeDuringThePasteIsKept)
{
    ASSERT_TRUE(PutUserContent(L"user content"));
    CClipboardSaver saver;
    saver.SetDelayedRendering(true);
    ASSERT_GT(saver.Save(), 0u);
    ASSERT_TRUE(saver.PutForPaste(TextBlocks(L"the phrase")));
    auto copier = scvtest::LaunchSelf(L"copy_text", {L"another program's copy"});
    ASSERT_EQ(PumpUntilExit(copier, 15000), std::optional<DWORD>(0));
    saver.RestoreAfterInsertion();
    EXPECT_FALSE(saver.IsSaved());
    EXPECT_FALSE(saver.IsRestoreWaiting());
    EXPECT_EQ(ClipboardText(), L"another program's copy");
    EXPECT_FALSE(HasUserFormat());
}

TEST(ClipboardSaver, RestoresWhateverChangedTheClipboardSinceTheSave)
{
    struct Case
    {
        const char* name;
        bool changeClipboard; // e.g. the selection copied by Ctrl+C before a typed phrase
    };
    for (const Case& c : {Case{"selection copied", true}, Case{"nothing changed", false}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutUserContent(L"user content"));
        CClipboardSaver saver;
        ASSERT_GT(saver.Save(), 0u);
        if (c.changeClipboard)
            ASSERT_TRUE(PutClipboardUnicodeText(L"the selection"));
        saver.RestoreAfterInsertion();
        EXPECT_FALSE(saver.IsSaved());
        EXPECT_FALSE(saver.IsRestoreWaiting());
        EXPECT_EQ(ClipboardText(), L"user content");
        EXPECT_TRUE(HasUserFormat());
    }
}

TEST(ClipboardSaver, ANewRequestEndsTheWaitOfThePreviousOne)
{
    ASSERT_TRUE(PutUserContent(L"user content"));
    CClipboardSaver saver;
    saver.SetDelayedRendering(true);
    ASSERT_GT(saver.Save(), 0u);
    ASSERT_TRUE(saver.PutForPaste(TextBlocks(L"the phrase")));
    saver.RestoreAfterInsertion();
    ASSERT_TRUE(saver.IsRestoreWaiting());
    // The next hot key saves the user's content, not the previous phrase.
    ASSERT_GT(saver.Save(), 0u);
    EXPECT_EQ(ClipboardText(), L"user content");
    saver.Dismiss();
}

TEST(ClipboardSaver, AClipboardHeldTooLongFailsTheSaveAndForbidsCarryingAPhrase)
{
    ASSERT_TRUE(PutUserContent(L"user content"));
    auto holder = scvtest::LaunchSelf(L"hold_clipboard", {L"3000"});
    ASSERT_TRUE(scvtest::WaitUntil([] { return IsClipboardHeldElsewhere(); }, 5000));
    CClipboardSaver saver;
    EXPECT_EQ(saver.Save(), 0u);
    EXPECT_TRUE(saver.IsSaveFailed());
    EXPECT_FALSE(saver.MayCarryPhrase());
    EXPECT_FALSE(saver.PutForPaste(TextBlocks(L"the phrase")));
    EXPECT_EQ(holder.Wait(10000), std::optional<DWORD>(0));
    EXPECT_EQ(ClipboardText(), L"user content");
}
