// test-depends: Scrivolanter ScrivolanterHookDll
// test-locks: desktop clipboard appevents sharedlog
// test-run-serial
// test-timeout: 120
// The main road end to end: the built program runs from a temporary program
// folder with its own settings, phrases and core hook DLL; a target window of
// another process (this test executable in child mode) holds a focused EDIT
// in the foreground; the hot key is pressed with SendInput, the phrase menu is
// answered with keys, and the EDIT, the phrase file and the clipboard show
// what the program did.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "MainProgramWindows.h"
#include "app/TrayMessages.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseItemRecord.h"
#include "online/SharedSettingsArea.h"
#include "support/BuiltPrograms.h"
#include "support/ClipboardFill.h"
#include "support/ChildMain.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr wchar_t kTargetClass[] = L"ScvMainRoadTarget";
constexpr UINT kTargetActivate = WM_APP + 100; // the target makes itself foreground and focuses its EDIT
// wParam: how the EDIT takes a paste from now on (a PasteMode).
constexpr UINT kTargetPasteMode = WM_APP + 101;
// The target focuses its copy-only control (whose selection only a copy can read).
constexpr UINT kTargetFocusCopyOnly = WM_APP + 102;
// The target's thread is busy for wParam milliseconds (it answers nothing meanwhile).
constexpr UINT kTargetBusy = WM_APP + 103;
// The copy-only control copies wParam milliseconds after it is asked (0: at once).
constexpr UINT kTargetCopyDelay = WM_APP + 104;
// Answers how many copies the copy-only control has made.
constexpr UINT kTargetCopiesMade = WM_APP + 105;
constexpr UINT_PTR kLateCopyTimer = 3;
constexpr wchar_t kCopyOnlyClass[] = L"ScvMainRoadCopyOnly";
constexpr wchar_t kCopyOnlySelection[] = L"the selection only a copy can read";
constexpr UINT_PTR kSlowPasteTimer = 2;
constexpr UINT kSlowPasteMs = 1500;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kStepTimeoutMs = 15000;

// The phrases, top to bottom as the menu shows them. Texts shorter than 20
// characters are typed, longer ones pasted (TextPasteMethod_v150=2, PrintLTChars=20).
struct PhraseSpec
{
    const wchar_t* file;
    const wchar_t* title;
    const wchar_t* body;
};
const PhraseSpec kPhrases[] = {
    {L"Typed.scrivolanter", L"Typed", L"Hello typed"},
    {L"Pasted.scrivolanter", L"Pasted", L"Pasted phrase, long enough for the clipboard"},
    {L"Wrapped.scrivolanter", L"Wrapped", L"<b>%SELECTED_TEXT%%CURSOR_POS%</b>"},
    {L"Macro.scrivolanter", L"Macro", L"[%CLIPBOARD_TEXT%]"},
};
constexpr int kTypedItem = 0;
constexpr int kPastedItem = 1;
constexpr int kWrappedItem = 2;
constexpr int kClipboardMacroItem = 3;

enum PasteMode : WPARAM
{
    kPasteAtOnce,    // as the EDIT does
    kPasteLater,     // a busy target: the clipboard is read 1.5 s after Ctrl+V
    kPasteNeverRead, // the paste is swallowed, the clipboard never read
};

HWND s_targetEdit = nullptr;
HWND s_copyOnly = nullptr;
bool s_copyOnlyFocused = false;
WNDPROC s_editProc = nullptr;
WPARAM s_pasteMode = kPasteAtOnce;
UINT s_copyDelayMs = 0;
LRESULT s_copiesMade = 0;
// The program asks twice (Ctrl+C and WM_COPY); the control answers the first request of each focusing.
bool s_copyAsked = false;

LRESULT CALLBACK TargetEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool paste = message == WM_PASTE || (message == WM_CHAR && wParam == 0x16);
    if (paste && s_pasteMode == kPasteLater) {
        ::SetTimer(::GetParent(window), kSlowPasteTimer, kSlowPasteMs, nullptr);
        return 0;
    }
    if (paste && s_pasteMode == kPasteNeverRead)
        return 0;
    return ::CallWindowProcW(s_editProc, window, message, wParam, lParam);
}

// A control that answers neither WM_GETTEXT nor EM_GETSEL: its selection comes out only by
// WM_COPY or Ctrl+C.
LRESULT CALLBACK CopyOnlyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool ctrlC = message == WM_KEYDOWN && wParam == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if ((message == WM_COPY || ctrlC) && s_copyAsked)
        return 0;
    if (message == WM_COPY || ctrlC)
        s_copyAsked = true;
    if ((message == WM_COPY || ctrlC) && s_copyDelayMs != 0) {
        ::SetTimer(window, kLateCopyTimer, s_copyDelayMs, nullptr);
        return 0;
    }
    const bool lateCopy = message == WM_TIMER && wParam == kLateCopyTimer;
    if (lateCopy)
        ::KillTimer(window, kLateCopyTimer);
    if (message == WM_COPY || ctrlC || lateCopy) {
        if (::OpenClipboard(window)) {
            ::EmptyClipboard();
            const SIZE_T size = sizeof(kCopyOnlySelection);
            HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
            std::memcpy(::GlobalLock(block), kCopyOnlySelection, size);
            ::GlobalUnlock(block);
            ::SetClipboardData(CF_UNICODETEXT, block);
            ::CloseClipboard();
            ++s_copiesMade;
        }
        return 0;
    }
    if (message == WM_GETTEXT || message == WM_GETTEXTLENGTH)
        return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void PasteClipboardTextNow()
{
    if (!::OpenClipboard(nullptr))
        return;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            ::SendMessageW(s_targetEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        // Whoever activates the window, the chosen control takes the keys.
        if (HWND focus = s_copyOnlyFocused ? s_copyOnly : s_targetEdit)
            ::SetFocus(focus);
        return 0;
    case kTargetActivate:
        s_copyOnlyFocused = false;
        ::SetForegroundWindow(window);
        ::SetFocus(s_targetEdit);
        return 0;
    case kTargetFocusCopyOnly:
        s_copyOnlyFocused = true;
        s_copyAsked = false;
        ::SetForegroundWindow(window);
        ::SetFocus(s_copyOnly);
        return 0;
    case kTargetPasteMode:
        s_pasteMode = wParam;
        return 0;
    case kTargetBusy:
        ::Sleep(static_cast<DWORD>(wParam));
        return 0;
    case kTargetCopyDelay:
        s_copyDelayMs = static_cast<UINT>(wParam);
        return 0;
    case kTargetCopiesMade:
        return s_copiesMade;
    case WM_TIMER:
        if (wParam == kSlowPasteTimer) {
            ::KillTimer(window, kSlowPasteTimer);
            PasteClipboardTextNow();
            return 0;
        }
        ::DestroyWindow(window); // ends a target the test forgot
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

// Child: the target application, a top-level window with an EDIT. Argument: the window title.
SCV_CHILD_MAIN(main_road_target)
{
    if (args.empty())
        return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTargetClass;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&windowClass);
    HWND top = ::CreateWindowExW(0, kTargetClass, args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80,
                                 500, 220, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!top)
        return 3;
    s_targetEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10,
                                     10, 460, 30, top, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!s_targetEdit)
        return 4;
    WNDCLASSW copyOnlyClass{};
    copyOnlyClass.lpfnWndProc = &CopyOnlyProc;
    copyOnlyClass.hInstance = ::GetModuleHandleW(nullptr);
    copyOnlyClass.lpszClassName = kCopyOnlyClass;
    ::RegisterClassW(&copyOnlyClass);
    s_copyOnly = ::CreateWindowExW(0, kCopyOnlyClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 50, 460, 30,
                                   top, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    s_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(s_targetEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TargetEditProc)));
    ::SetForegroundWindow(top);
    ::SetFocus(s_targetEdit);
    ::SetTimer(top, 1, 240000, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

namespace
{

using scvtest::ControlText;
using scvtest::CountOf;
using scvtest::FindMenuWindow;
using scvtest::FindTrayWindow;
using scvtest::PressHotKey;
using scvtest::TapKey;

std::pair<int, int> ControlSelection(HWND control)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(control, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return {static_cast<int>(LOWORD(result)), static_cast<int>(HIWORD(result))};
}

UINT TestFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"ScvMainRoadTestFormat");
    return format;
}

using scvtest::OpenClipboardRetrying;

// The user's clipboard: a text and a block of a format of the test's own.
bool PutUserClipboard(const std::wstring& text, const std::string& extra)
{
    if (!OpenClipboardRetrying())
        return false;
    ::EmptyClipboard();
    const bool put =
        scvtest::PutClipboardBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
        scvtest::PutClipboardBlock(TestFormat(), extra.data(), extra.size());
    ::CloseClipboard();
    return put;
}

std::optional<std::string> ReadBlock(UINT format)
{
    HANDLE data = ::GetClipboardData(format);
    if (!data)
        return std::nullopt;
    const void* bytes = ::GlobalLock(data);
    if (!bytes)
        return std::nullopt;
    std::string block(static_cast<const char*>(bytes), ::GlobalSize(data));
    ::GlobalUnlock(data);
    return block;
}

struct ClipboardContent
{
    std::wstring text;
    std::optional<std::string> extra;
    bool operator==(const ClipboardContent&) const = default;
};

ClipboardContent ReadUserClipboard()
{
    ClipboardContent content;
    if (!OpenClipboardRetrying())
        return content;
    if (const auto text = ReadBlock(CF_UNICODETEXT))
        content.text = reinterpret_cast<const wchar_t*>(text->c_str());
    content.extra = ReadBlock(TestFormat());
    ::CloseClipboard();
    return content;
}

// Puts formats of which a snapshot can keep only the text: an enhanced metafile and a block under a
// private format id.
bool PutFormats(bool text, bool metafile, bool privateHandle)
{
    if (!OpenClipboardRetrying())
        return false;
    ::EmptyClipboard();
    bool put = true;
    if (text) {
        const std::wstring words = L"text beside the picture";
        put = scvtest::PutClipboardBlock(CF_UNICODETEXT, words.c_str(), (words.size() + 1) * sizeof(wchar_t));
    }
    if (metafile) {
        HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        ::Rectangle(dc, 1, 1, 20, 10);
        put = ::SetClipboardData(CF_ENHMETAFILE, ::CloseEnhMetaFile(dc)) && put;
    }
    if (privateHandle)
        put = ::SetClipboardData(CF_PRIVATEFIRST + 7, ::GlobalAlloc(GMEM_MOVEABLE, 16)) && put;
    ::CloseClipboard();
    return put;
}

// The bits of the clipboard's enhanced metafile; empty when there is none.
std::vector<BYTE> DrawingOnTheClipboard()
{
    std::vector<BYTE> bits;
    if (!OpenClipboardRetrying())
        return bits;
    if (auto* metafile = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE))) {
        bits.resize(::GetEnhMetaFileBits(metafile, 0, nullptr));
        ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    }
    ::CloseClipboard();
    return bits;
}

std::vector<UINT> ClipboardFormatList()
{
    std::vector<UINT> formats;
    if (!OpenClipboardRetrying())
        return formats;
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format))
        formats.push_back(format);
    ::CloseClipboard();
    return formats;
}

class MainRoadTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new scvtest::TempFolder();
        scvtest::CopyBuiltPrograms(*s_folder, {L"*.exe", L"*.dll"});
        WriteSettings();
        for (const PhraseSpec& phrase : kPhrases)
            WritePhrase(phrase);

        s_targetTitle = L"Scrivolanter main road target " + std::to_wstring(::GetCurrentProcessId());
        s_target = new scvtest::ChildProcess(scvtest::LaunchSelf(L"main_road_target", {s_targetTitle}));
        // The EDIT is made after its parent: wait for both.
        scvtest::WaitUntil(
            [] {
                s_targetTop = ::FindWindowW(kTargetClass, s_targetTitle.c_str());
                s_edit = s_targetTop ? ::FindWindowExW(s_targetTop, nullptr, L"EDIT", nullptr) : nullptr;
                return s_edit != nullptr;
            },
            kStartTimeoutMs);

        scvtest::ChildOptions options;
        options.workingDirectory = s_folder->Path();
        s_program = new scvtest::ChildProcess(
            scvtest::ChildProcess::Run(s_folder->PathOf(L"Scrivolanter.exe"), {}, options));
    }

    static void TearDownTestSuite()
    {
        if (s_program && s_program->IsRunning()) {
            scvtest::ExitMainProgram(*s_folder, *s_program, kStartTimeoutMs);
        }
        if (s_targetTop)
            ::PostMessageW(s_targetTop, WM_CLOSE, 0, 0);
        if (s_target && !s_target->Wait(10000))
            s_target->Terminate();
        delete s_program;
        delete s_target;
        s_program = nullptr;
        s_target = nullptr;
        s_targetTop = nullptr;
        s_edit = nullptr;
        delete s_folder;
        s_folder = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_program && s_program->Started());
        ASSERT_TRUE(s_targetTop && s_edit) << "the target window did not show";
        ASSERT_TRUE(
            scvtest::WaitUntil([] { return FindTrayWindow(s_program->Pid()) != nullptr; }, kStartTimeoutMs))
            << "the program shows no tray window";
        // The program has registered its hot key and published it.
        WORD key = 0;
        WORD modifiers = 0;
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                return ReadSharedSettingsArea({&key, &modifiers, nullptr, nullptr}) && key == VK_RETURN;
            },
            kStartTimeoutMs))
            << Log();
        EXPECT_EQ(modifiers, MOD_CONTROL | MOD_ALT);
        ASSERT_EQ(FindMenuWindow(s_program->Pid()), nullptr) << "a menu of an earlier test is still open";
    }

    // Sounds, balloons, tooltips, update checks, the welcome program and the
    // floating pane off, the clipboard history on (or off); the last used
    // phrases are not put at the top, so the menu keeps its order from test
    // to test: the phrases first, then the history items, newest first.
    static void WriteSettings(bool history = true)
    {
        const wchar_t* const keys[] = {
            L"SCVVersion=SCV_150",
            L"WriteLog=1",
            L"SoundOnEventsV094=0",
            L"ShowTrayBallonOnHotkey=0",
            L"MenuToolTips_V0_94_A22=0",
            L"AutoCheckForUpdates=0",
            L"ShowHistoryPaneOnStart=0",
            L"ShowIconInAltTab_ForFP=0",
            history ? L"ClipboardHistory=1" : L"ClipboardHistory=0",
            L"Welcome_Already_Started_V2_60=1",
            L"DelayAutoLoadSeconds_NextRelease=0",
            L"PhrasesDirectory=Phrases",
            L"AddLastUsedMenuToBegin=0",
            L"TextPasteMethod_v150=2",
            L"PrintLTChars=20",
            L"SiteRoot=http://127.0.0.1:9",
        };
        std::wstring text = L"[Settings]\r\n";
        for (const wchar_t* key : keys)
            text += std::wstring(key) + L"\r\n";
        s_folder->WriteUtf16(L"Settings.ini", text);
    }

    static void WritePhrase(const PhraseSpec& spec)
    {
        static int sortId = 0;
        PhraseItemRecord record;
        record.SetTitle(spec.title);
        record.body = spec.body;
        record.dataType = MenuItemRecord::kTypeText;
        record.sortId = ++sortId;
        s_folder->CreateSubfolder(L"Phrases");
        EXPECT_TRUE(SavePhraseFile(record, PhrasePath(spec).c_str()));
    }

    static std::wstring PhrasePath(const PhraseSpec& spec)
    {
        return s_folder->PathOf(std::wstring(L"Phrases\\") + spec.file);
    }

    static std::wstring Log() { return s_folder->ReadText(L"LogReport.txt").value_or(L""); }

    // The target in the foreground with its EDIT holding `text`, `start` to
    // `end` selected.
    static void PrepareTarget(const std::wstring& text, int start, int end)
    {
        ::SendMessageW(s_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(s_edit, EM_SETSEL, start, end);
        ::SendMessageW(s_targetTop, kTargetPasteMode, kPasteAtOnce, 0);
        ::PostMessageW(s_targetTop, kTargetActivate, 0, 0);
        ASSERT_TRUE(scvtest::WaitUntil(
            [] {
                GUITHREADINFO info{};
                info.cbSize = sizeof(info);
                return ::GetForegroundWindow() == s_targetTop &&
                       ::GetGUIThreadInfo(::GetWindowThreadProcessId(s_targetTop, nullptr), &info) &&
                       info.hwndFocus == s_edit;
            },
            kStepTimeoutMs))
            << "the target did not come to the foreground";
    }

    // Presses the hot key until the phrase menu shows. The hook DLL reaches
    // the target's process with its first message after the install, so a
    // first request may go unanswered.
    static HWND OpenMenu()
    {
        HWND menu = nullptr;
        scvtest::WaitUntil(
            [&] {
                PressHotKey();
                scvtest::WaitUntil([&] { return (menu = FindMenuWindow(s_program->Pid())) != nullptr; },
                                   5000);
                return menu != nullptr;
            },
            kStartTimeoutMs);
        return menu;
    }

    // Chooses the item at the position (the first item is 0) with the keyboard.
    static void ChooseItem(int position)
    {
        for (int i = 0; i <= position; ++i)
            TapKey(VK_DOWN);
        TapKey(VK_RETURN);
    }

    static size_t CommandsRun() { return CountOf(Log(), L"CSCVTrayWnd::OnWmCommandFromSelf"); }

    // The history's item count the program logged last (-1: none logged yet).
    static int LoggedHistoryCount()
    {
        const std::wstring log = Log();
        const std::wstring key = L"Event OnClipboardHistoryChanged, Count=";
        const size_t at = log.rfind(key);
        return at == std::wstring::npos ? -1 : std::stoi(log.substr(at + key.size()));
    }

    static size_t HistoryChanges() { return CountOf(Log(), L"Event OnClipboardHistoryChanged, Count="); }

    // Copies once as another program would and waits until the program's history has taken it:
    // whatever the program did with the clipboard just before, a copy is never lost.
    static void CopyIntoHistory(const std::wstring& text)
    {
        const size_t changes = HistoryChanges();
        ASSERT_TRUE(PutUserClipboard(text, "history"));
        ASSERT_TRUE(scvtest::WaitUntil([&] { return HistoryChanges() > changes; }, kStepTimeoutMs))
            << "the copy did not reach the history\n"
            << testing::PrintToString(Log());
    }

    static HWND TrayWindow() { return FindTrayWindow(s_program->Pid()); }

    // The copy-only control in front: the hot key's menu comes after the program copied the
    // selection by Ctrl+C (the target reports the copy, made while the menu is open); the menu is
    // closed with Esc and its clean-up command has run.
    static void EscapeAMenuForWhichTheSelectionWasCopied()
    {
        const LRESULT copies = ::SendMessageW(s_targetTop, kTargetCopiesMade, 0, 0);
        ::PostMessageW(s_targetTop, kTargetFocusCopyOnly, 0, 0);
        ASSERT_TRUE(
            scvtest::WaitUntil([] { return ::GetForegroundWindow() == s_targetTop; }, kStepTimeoutMs));
        const size_t commandsBefore = CommandsRun();
        ASSERT_TRUE(OpenMenu()) << Log();
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] { return ::SendMessageW(s_targetTop, kTargetCopiesMade, 0, 0) > copies; }, kStepTimeoutMs))
            << "the program asked for no copy";
        TapKey(VK_ESCAPE);
        ASSERT_TRUE(scvtest::WaitUntil([&] { return CommandsRun() > commandsBefore; }, kStepTimeoutMs));
        ASSERT_TRUE(TrayWindowIsIdle());
    }

    // Returns once the tray window has finished what it was doing (a command handler that puts
    // the user's clipboard back, say): it answers only between two messages.
    static bool TrayWindowIsIdle()
    {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(TrayWindow(), WM_NULL, 0, 0, SMTO_NORMAL, kStepTimeoutMs, &result) != 0;
    }

    // Pastes the long phrase into a target that never reads it: the restore of the user's
    // clipboard then waits. Returns once the program offers the phrase (asking for it would
    // count as a read).
    static void PasteAPhraseNeverRead()
    {
        PrepareTarget(L"", 0, 0);
        ::SendMessageW(s_targetTop, kTargetPasteMode, kPasteNeverRead, 0);
        const DWORD program = s_program->Pid();
        ASSERT_TRUE(OpenMenu()) << Log();
        ChooseItem(kPastedItem);
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] { return scvtest::ProcessOfWindow(::GetClipboardOwner()) == program; }, kStepTimeoutMs))
            << Log();
    }

    static scvtest::TempFolder* s_folder;
    static scvtest::ChildProcess* s_program;
    static scvtest::ChildProcess* s_target;
    static std::wstring s_targetTitle;
    static HWND s_targetTop;
    static HWND s_edit;
};

scvtest::TempFolder* MainRoadTest::s_folder = nullptr;
scvtest::ChildProcess* MainRoadTest::s_program = nullptr;
scvtest::ChildProcess* MainRoadTest::s_target = nullptr;
std::wstring MainRoadTest::s_targetTitle;
HWND MainRoadTest::s_targetTop = nullptr;
HWND MainRoadTest::s_edit = nullptr;

TEST_F(MainRoadTest, TypedPhraseArrivesAndItsUsageIsSaved)
{
    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kTypedItem);

    EXPECT_TRUE(
        scvtest::WaitUntil([] { return ControlText(s_edit) == kPhrases[kTypedItem].body; }, kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit)) << "\n"
        << testing::PrintToString(Log());
    EXPECT_TRUE(scvtest::WaitUntil(
        [] {
            PhraseItemRecord saved;
            return ReadPhraseFile(saved, PhrasePath(kPhrases[kTypedItem]).c_str()) &&
                   saved.GetUsageCount() == 1 && saved.HasUsageDate();
        },
        kStepTimeoutMs))
        << "the phrase file's usage count did not go up";
}

TEST_F(MainRoadTest, PastedPhraseArrivesAndTheUserClipboardComesBack)
{
    const ClipboardContent before{L"the user's own clipboard", std::string("\x01\x02\x03 bytes", 9)};
    ASSERT_TRUE(PutUserClipboard(before.text, *before.extra));
    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kPastedItem);

    EXPECT_TRUE(
        scvtest::WaitUntil([] { return ControlText(s_edit) == kPhrases[kPastedItem].body; }, kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit)) << "\n"
        << testing::PrintToString(Log());
    // The phrase went through the clipboard; afterwards the user's content is back, every format of it.
    EXPECT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard() == before; }, kStepTimeoutMs))
        << testing::PrintToString(ReadUserClipboard().text);
}

// Another program copies right after a pasted phrase and the user's content came back: the copy
// enters the history at once (only the program's own clipboard changes are kept out, for no fixed
// time), and neither the phrase nor the put-back does.
TEST_F(MainRoadTest, ACopyRightAfterAPastedPhraseEntersTheHistory)
{
    const std::wstring user = L"the user's clipboard before a paste and a copy";
    ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(user));
    const int count = LoggedHistoryCount();
    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kPastedItem);
    ASSERT_TRUE(
        scvtest::WaitUntil([] { return ControlText(s_edit) == kPhrases[kPastedItem].body; }, kStepTimeoutMs))
        << Log();
    ASSERT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard().text == user; }, kStepTimeoutMs));

    ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(L"copied right after the paste"));
    EXPECT_EQ(LoggedHistoryCount(), count + 1) << "the phrase or the put-back entered the history";
}

// A busy target reads the clipboard 1.5 s after Ctrl+V: it still gets the phrase, and the user's
// content comes back only after that read.
TEST_F(MainRoadTest, ASlowTargetStillGetsThePastedPhrase)
{
    const ClipboardContent before{L"the user's clipboard before a slow paste", std::string("slow")};
    ASSERT_TRUE(PutUserClipboard(before.text, *before.extra));
    PrepareTarget(L"", 0, 0);
    ::SendMessageW(s_targetTop, kTargetPasteMode, kPasteLater, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kPastedItem);

    EXPECT_TRUE(
        scvtest::WaitUntil([] { return ControlText(s_edit) == kPhrases[kPastedItem].body; }, kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit)) << "\n"
        << testing::PrintToString(Log());
    EXPECT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard() == before; }, kStepTimeoutMs))
        << testing::PrintToString(ReadUserClipboard().text);
}

// A target that never reads the pasted phrase: the phrase stays offered for the bound (about 5 s),
// then the user's content comes back; a copy another program makes meanwhile is never overwritten.
TEST_F(MainRoadTest, AnUnreadPasteEndsAfterTheBoundAndANewCopySurvives)
{
    struct Case
    {
        const char* name;
        bool otherCopy;
        const wchar_t* logLine;
    };
    const Case cases[] = {
        {"never read", false, L"the target did not read the pasted phrase in time"},
        {"another program copies meanwhile", true, L"new clipboard content since the paste"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipboardContent before{L"the user's clipboard before an unread paste", std::string("unread")};
        ASSERT_TRUE(PutUserClipboard(before.text, *before.extra));
        const size_t endsBefore = CountOf(Log(), c.logLine);
        PasteAPhraseNeverRead();
        if (HasFatalFailure())
            return;
        const DWORD offered = ::GetTickCount();
        const ClipboardContent other{L"another program's copy", std::string("other")};
        if (c.otherCopy)
            ASSERT_TRUE(PutUserClipboard(other.text, *other.extra));
        ASSERT_TRUE(
            scvtest::WaitUntil([&] { return CountOf(Log(), c.logLine) > endsBefore; }, kStepTimeoutMs))
            << Log();
        if (!c.otherCopy)
            EXPECT_GE(::GetTickCount() - offered, 3000u) << "the user's content came back before the bound";
        EXPECT_EQ(ReadUserClipboard(), c.otherCopy ? other : before)
            << testing::PrintToString(ReadUserClipboard().text);
        EXPECT_EQ(ControlText(s_edit), L"");
    }
}

// The phrase file was edited on disk after the program loaded it: its use raises the usage count
// and keeps the new text.
TEST_F(MainRoadTest, AUseKeepsAnEditMadeOnDiskSinceTheLoad)
{
    const std::wstring path = PhrasePath(kPhrases[kTypedItem]);
    PhraseItemRecord edited;
    ASSERT_TRUE(ReadPhraseFile(edited, path.c_str()));
    const unsigned int countBefore = edited.GetUsageCount();
    edited.SetHint(L"a hint written by the editor");
    // The program inserts the text it loaded; the file keeps the one written since.
    edited.body = L"Hello typed, edited on disk";
    ASSERT_TRUE(SavePhraseFile(edited, path.c_str()));

    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kTypedItem);
    // Every typed key has arrived before the next test sets the EDIT's text.
    EXPECT_TRUE(
        scvtest::WaitUntil([] { return ControlText(s_edit) == kPhrases[kTypedItem].body; }, kStepTimeoutMs));
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] {
            PhraseItemRecord saved;
            return ReadPhraseFile(saved, path.c_str()) && saved.GetUsageCount() > countBefore &&
                   wcscmp(saved.hint, L"a hint written by the editor") == 0 &&
                   saved.body == L"Hello typed, edited on disk";
        },
        kStepTimeoutMs))
        << "the use reverted the edit or did not count";
}

TEST_F(MainRoadTest, SelectedTextIsWrappedAndTheCaretStandsAtTheMark)
{
    PrepareTarget(L"abc", 0, 3);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kWrappedItem);

    EXPECT_TRUE(scvtest::WaitUntil(
        [] {
            return ControlText(s_edit) == L"<b>abc</b>" && ControlSelection(s_edit) == std::make_pair(6, 6);
        },
        kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit)) << " selection "
        << ControlSelection(s_edit).first << "-" << ControlSelection(s_edit).second << "\n"
        << testing::PrintToString(Log());
}

// The menu closed with Esc inserts nothing and leaves the clipboard as it is: every format the
// user had (also those a snapshot cannot keep), or the newer copy another program made while the
// menu was open.
TEST_F(MainRoadTest, EscapeInsertsNothingAndLeavesTheClipboardAsItIs)
{
    struct Case
    {
        const char* name;
        bool text, metafile, privateHandle;
        bool otherCopyDuringMenu;
    };
    const Case cases[] = {
        {"text and an enhanced metafile", true, true, false, false},
        {"an enhanced metafile only", false, true, false, false},
        {"a private format only", false, false, true, false},
        {"another program copies while the menu is open", true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutFormats(c.text, c.metafile, c.privateHandle));
        std::vector<UINT> expected = ClipboardFormatList();
        ASSERT_FALSE(expected.empty());
        PrepareTarget(L"untouched", 9, 9);
        const size_t commandsBefore = CommandsRun();
        ASSERT_TRUE(OpenMenu()) << Log();
        const ClipboardContent other{L"scratch", std::string("scratch")};
        if (c.otherCopyDuringMenu) {
            ASSERT_TRUE(PutUserClipboard(other.text, *other.extra));
            expected = ClipboardFormatList();
        }
        const DWORD sequence = ::GetClipboardSequenceNumber();
        TapKey(VK_ESCAPE);

        EXPECT_TRUE(
            scvtest::WaitUntil([] { return FindMenuWindow(s_program->Pid()) == nullptr; }, kStepTimeoutMs));
        EXPECT_TRUE(scvtest::WaitUntil([&] { return CommandsRun() > commandsBefore; }, kStepTimeoutMs))
            << "the menu's clean-up command did not arrive";
        // The clean-up command has run to its end: whatever it would put back is there now.
        ASSERT_TRUE(TrayWindowIsIdle());
        EXPECT_EQ(::GetClipboardSequenceNumber(), sequence) << "the clipboard was written";
        EXPECT_EQ(ClipboardFormatList(), expected) << Log();
        if (c.otherCopyDuringMenu)
            EXPECT_EQ(ReadUserClipboard(), other) << testing::PrintToString(ReadUserClipboard().text);
        EXPECT_EQ(ControlText(s_edit), L"untouched");
    }
}

// A history item chosen in the phrase menu (the first item after the phrases) is inserted and
// stays on the clipboard, without entering the history a second time.
TEST_F(MainRoadTest, AHistoryItemChosenInThePhraseMenuIsInserted)
{
    const std::wstring text = L"history item to insert";
    ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(text));
    // A newer copy: the clipboard does not hold the item before it is chosen.
    const std::wstring newer = L"a newer copy on the clipboard";
    ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(newer));
    const int count = LoggedHistoryCount();
    ASSERT_EQ(ReadUserClipboard().text, newer);
    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(static_cast<int>(std::size(kPhrases)) + 1);

    EXPECT_TRUE(scvtest::WaitUntil([&] { return ControlText(s_edit) == text; }, kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit)) << "\n"
        << testing::PrintToString(Log());
    EXPECT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard().text == text; }, kStepTimeoutMs))
        << testing::PrintToString(ReadUserClipboard().text);
    scvtest::WaitUntil([] { return false; }, 1000);
    EXPECT_EQ(LoggedHistoryCount(), count) << "the program's own copy entered the history";
}

// The selection of a control that only a copy can read is copied by Ctrl+C for the menu: the copy
// the target reports never enters the history, and the user's clipboard comes back after the menu,
// also when the target's copy lands long after the program stopped waiting for it.
TEST_F(MainRoadTest, TheSelectionCopiedByCtrlCStaysOutOfTheHistory)
{
    struct Case
    {
        const char* name;
        UINT copyDelayMs;
    };
    const Case cases[] = {
        {"the target copies at once", 0},
        {"the target copies 3.5 s later", 3500},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring user = L"the user's clipboard before the Ctrl+C copy " + std::to_wstring(++round);
        ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(user));
        const int count = LoggedHistoryCount();
        ::SendMessageW(s_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"untouched"));
        ::SendMessageW(s_targetTop, kTargetCopyDelay, c.copyDelayMs, 0);
        ASSERT_NO_FATAL_FAILURE(EscapeAMenuForWhichTheSelectionWasCopied());
        EXPECT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard().text == user; }, kStepTimeoutMs))
            << testing::PrintToString(ReadUserClipboard().text);
        // A copy made afterwards is the only new item: the selection never entered.
        ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(L"copied after the Ctrl+C request " + std::to_wstring(round)));
        EXPECT_EQ(LoggedHistoryCount(), count + 1) << "the selection copy was captured";
        EXPECT_EQ(ControlText(s_edit), L"untouched") << "nothing was inserted";
    }
    ::SendMessageW(s_targetTop, kTargetCopyDelay, 0, 0);
}

// The user's clipboard holds a text and a drawing; the selection is copied by Ctrl+C for the menu,
// which is closed with Esc: the text and the drawing both come back.
TEST_F(MainRoadTest, TheUsersDrawingComesBackAfterTheSelectionCopyByCtrlC)
{
    ASSERT_TRUE(PutFormats(true, true, false));
    const std::vector<BYTE> drawing = DrawingOnTheClipboard();
    ASSERT_FALSE(drawing.empty());
    ASSERT_NO_FATAL_FAILURE(EscapeAMenuForWhichTheSelectionWasCopied());
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] { return ReadUserClipboard().text == L"text beside the picture" && DrawingOnTheClipboard() == drawing; },
        kStepTimeoutMs))
        << "text " << testing::PrintToString(ReadUserClipboard().text) << ", drawing of "
        << DrawingOnTheClipboard().size() << " bytes";
}

// The editor's end (WM_APP+6) applies the history switch of the settings file at once: off, a copy
// is not captured; on again, it is. (The settings module's end, WM_APP+4, is taken only from the
// program's own editor start, so a message from this process cannot stand in for it.)
TEST_F(MainRoadTest, TheHistorySwitchOfTheSettingsTakesEffectWithoutARestart)
{
    struct Step
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool history;
    };
    const Step steps[] = {
        {"editor ended, history off", WM_APP + 6, 0, false},
        {"editor ended, history on", WM_APP + 6, 0, true},
    };
    // Right after the earlier tests' clipboard use, a copy is captured.
    ASSERT_NO_FATAL_FAILURE(CopyIntoHistory(L"copy before the settings change"));
    int copy = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        WriteSettings(step.history);
        DWORD_PTR result = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(TrayWindow(), step.message, step.wParam, 0, SMTO_ABORTIFHUNG,
                                          kStepTimeoutMs, &result));
        const size_t changes = CountOf(Log(), L"Event OnClipboardHistoryChanged, Count=");
        ASSERT_TRUE(PutUserClipboard(L"copy after a settings change " + std::to_wstring(++copy), "settings"));
        const bool captured = scvtest::WaitUntil(
            [&] { return CountOf(Log(), L"Event OnClipboardHistoryChanged, Count=") > changes; }, 3000);
        EXPECT_EQ(captured, step.history);
    }
}

// The hot key pressed while the previous pasted phrase still waits for its target: the macro
// %CLIPBOARD_TEXT% of the next phrase is the user's text, not the phrase still offered.
TEST_F(MainRoadTest, ClipboardTextMacroRightAfterAPastedPhraseIsTheUsersText)
{
    const ClipboardContent before{L"user text for the macro", std::string("macro")};
    ASSERT_TRUE(PutUserClipboard(before.text, *before.extra));
    ASSERT_NO_FATAL_FAILURE(PasteAPhraseNeverRead());

    PrepareTarget(L"", 0, 0);
    ASSERT_TRUE(OpenMenu()) << Log();
    ChooseItem(kClipboardMacroItem);
    const std::wstring expected = L"[" + before.text + L"]";
    // A late delivery of the first paste's keys may stand before it; the macro's text ends it.
    EXPECT_TRUE(scvtest::WaitUntil([&] { return ControlText(s_edit).ends_with(expected); }, kStepTimeoutMs))
        << "EDIT: " << testing::PrintToString(ControlText(s_edit));
    EXPECT_TRUE(scvtest::WaitUntil([&] { return ReadUserClipboard() == before; }, kStepTimeoutMs));
}

// A request whose target does not answer, a copy by another program, then the hot key again or the
// request's bound (10 s) passing: the newer copy stays on the clipboard.
TEST_F(MainRoadTest, ARequestWithoutAnAnswerNeverPutsAnOlderClipboardBack)
{
    struct Case
    {
        const char* name;
        WPARAM busyMs;
        bool hotKeyAgain;
    };
    const Case cases[] = {
        {"the hot key again while the target is busy", 4000, true},
        {"the target busy longer than the request's bound", 13000, false},
    };
    const auto hotKeysTaken = [] { return CountOf(Log(), L"Input desktop is active"); };
    const auto requestsEnded = [] { return CountOf(Log(), L"did not answer the phrase request in time"); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutUserClipboard(L"the user's clipboard at the first hot key", "first"));
        PrepareTarget(L"untouched", 9, 9);
        const size_t taken = hotKeysTaken();
        const size_t ended = requestsEnded();
        ::PostMessageW(s_targetTop, kTargetBusy, c.busyMs, 0);
        PressHotKey();
        ASSERT_TRUE(scvtest::WaitUntil([&] { return hotKeysTaken() > taken; }, kStepTimeoutMs)) << Log();
        const ClipboardContent newer{L"a newer copy of another program", std::string("newer")};
        ASSERT_TRUE(PutUserClipboard(newer.text, *newer.extra));
        if (c.hotKeyAgain) {
            PressHotKey();
            ASSERT_TRUE(scvtest::WaitUntil([&] { return hotKeysTaken() > taken + 1; }, kStepTimeoutMs)) << Log();
        } else {
            // The request ends at its bound, with nothing put back over the newer copy.
            ASSERT_TRUE(scvtest::WaitUntil([&] { return requestsEnded() > ended; }, 2 * kStepTimeoutMs))
                << "the request did not end at its bound\n"
                << Log();
            ASSERT_TRUE(TrayWindowIsIdle());
            EXPECT_EQ(ReadUserClipboard(), newer) << testing::PrintToString(ReadUserClipboard().text);
        }

        // The target answers once it is free: a menu that shows then is closed.
        if (scvtest::WaitUntil([] { return FindMenuWindow(s_program->Pid()) != nullptr; },
                               static_cast<DWORD>(c.busyMs) + 4000))
            TapKey(VK_ESCAPE);
        EXPECT_TRUE(
            scvtest::WaitUntil([] { return FindMenuWindow(s_program->Pid()) == nullptr; }, kStepTimeoutMs));
        ASSERT_TRUE(TrayWindowIsIdle());
        EXPECT_EQ(ReadUserClipboard(), newer) << testing::PrintToString(ReadUserClipboard().text);
        EXPECT_EQ(ControlText(s_edit), L"untouched");
    }
}

} // namespace
