// test-locks: desktop
#include "support/ChildMain.h"
#include "support/ChildProcess.h"
#include "support/DialogWatchdog.h"
#include "support/Dialogs.h"
#include "support/ImportPatch.h"
#include "support/MessagePump.h"
#include "support/PngImage.h"
#include "support/PulseCatcher.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace scvtest;

namespace
{

std::wstring Join(const std::vector<std::wstring>& parts)
{
    std::wstring joined;
    for (size_t i = 0; i < parts.size(); ++i)
        joined += (i ? L"\n" : L"") + parts[i];
    return joined;
}

std::wstring EnvironmentValue(const wchar_t* name)
{
    wchar_t buffer[512];
    DWORD length = GetEnvironmentVariableW(name, buffer, 512);
    return length == 0 || length >= 512 ? L"<unset>" : std::wstring(buffer, length);
}

} // namespace

// ---- child functions (run in a second process started by LaunchSelf) ----

SCV_CHILD_MAIN(exit_with)
{
    return std::stoi(args.at(0));
}

// Writes the arguments after the first (the output file), one per line.
SCV_CHILD_MAIN(write_args)
{
    std::vector<std::wstring> rest(args.begin() + 1, args.end());
    return WriteFileUtf8(args.at(0), Join(rest)) ? 0 : 1;
}

// Writes the current folder and two environment variables.
SCV_CHILD_MAIN(write_context)
{
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring text =
        Join({folder, EnvironmentValue(L"SCV_SUPPORT_SET"), EnvironmentValue(L"SCV_SUPPORT_REMOVED")});
    return WriteFileUtf8(args.at(0), text) ? 0 : 1;
}

SCV_CHILD_MAIN(print)
{
    std::printf("%s\n", WideToUtf8(args.at(0)).c_str());
    std::fflush(stdout);
    return 0;
}

SCV_CHILD_MAIN(sleep_long)
{
    Sleep(60000);
    return 0;
}

// Shows an OK/Cancel box (caption, text) and exits with the button that ended it.
SCV_CHILD_MAIN(show_box)
{
    return MessageBoxW(nullptr, args.at(1).c_str(), args.at(0).c_str(), MB_OKCANCEL);
}

// ---- TempFolder and file helpers ----

TEST(TempFolder, WritesReadsAndRemovesEverythingIncludingReadOnlyEntries)
{
    std::wstring path;
    {
        TempFolder temp;
        path = temp.Path();
        wchar_t tempRoot[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, tempRoot);
        EXPECT_EQ(path.rfind(tempRoot, 0), 0u) << "not under the temp folder";
        ASSERT_TRUE(FolderExists(path));

        std::string bytes("a\0b\r\n\xFF", 6);
        std::wstring file = temp.WriteBytes(L"deep\\er\\bytes.bin", bytes);
        EXPECT_EQ(file, path + L"\\deep\\er\\bytes.bin");
        EXPECT_EQ(temp.ReadBytes(L"deep\\er\\bytes.bin"), bytes);

        const std::wstring text = L"Zeile \u00e4\u00f6\u00fc \u20ac \U0001F600\r\nzwei";
        temp.WriteUtf16(L"u16.txt", text);
        EXPECT_EQ(temp.ReadBytes(L"u16.txt")->substr(0, 4), std::string("\xFF\xFEZ\0", 4));
        EXPECT_EQ(temp.ReadText(L"u16.txt"), text);
        temp.WriteUtf8(L"u8bom.txt", text, true);
        EXPECT_EQ(temp.ReadBytes(L"u8bom.txt")->substr(0, 4), "\xEF\xBB\xBFZ");
        EXPECT_EQ(temp.ReadText(L"u8bom.txt"), text);
        temp.WriteUtf8(L"u8.txt", text);
        EXPECT_EQ(*temp.ReadBytes(L"u8.txt"), WideToUtf8(text));
        EXPECT_EQ(temp.ReadText(L"u8.txt"), text);
        EXPECT_FALSE(temp.ReadText(L"missing.txt").has_value());

        std::wstring locked = temp.WriteBytes(L"ro\\locked.txt", "x");
        ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(SetFileAttributesW(temp.PathOf(L"ro").c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_FALSE(DeleteFileW(locked.c_str())) << "the read-only file should resist a plain delete";
    }
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind";
}

TEST(TempFolder, EachFolderIsNewAndMovingKeepsOneOwner)
{
    TempFolder a;
    TempFolder b;
    EXPECT_NE(a.Path(), b.Path());
    std::wstring path = a.Path();
    TempFolder moved(std::move(a));
    EXPECT_EQ(moved.Path(), path);
    EXPECT_TRUE(a.Path().empty());
    EXPECT_TRUE(FolderExists(path));
    EXPECT_TRUE(moved.Remove());
    EXPECT_FALSE(FolderExists(path));
}

// ---- message pump ----

namespace
{

std::atomic<int> g_appMessages{0};

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        ++g_appMessages;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct MessageWindow
{
    HWND hwnd;
    MessageWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScvSupportCounting";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    }
    ~MessageWindow() { DestroyWindow(hwnd); }
};

} // namespace

TEST(MessagePump, PumpUntilDispatchesPostedMessages)
{
    MessageWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    g_appMessages = 0;
    PostMessageW(window.hwnd, WM_APP, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return g_appMessages == 1; }, 5000));

    // A message posted from another thread while the pump waits.
    std::thread poster([&] {
        Sleep(50);
        PostMessageW(window.hwnd, WM_APP, 0, 0);
    });
    EXPECT_TRUE(PumpUntil([] { return g_appMessages == 2; }, 5000));
    poster.join();
}

TEST(MessagePump, TimesOutAndSeesConditionsChangedWithoutMessages)
{
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(PumpUntil([] { return false; }, 300));
    EXPECT_GE(GetTickCount64() - start, 280u);

    std::atomic<bool> flag{false};
    std::thread setter([&] {
        Sleep(50);
        flag = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return flag.load(); }, 10000));
    setter.join();

    flag = false;
    start = GetTickCount64();
    EXPECT_FALSE(WaitUntil([&] { return flag.load(); }, 200));
    EXPECT_GE(GetTickCount64() - start, 180u);
    std::thread setter2([&] {
        Sleep(50);
        flag = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return flag.load(); }, 10000));
    setter2.join();
}

TEST(MessagePump, PumpUntilSignaledWaitsForTheHandle)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(PumpUntilSignaled(event, 100));
    std::thread setter([&] {
        Sleep(50);
        SetEvent(event);
    });
    EXPECT_TRUE(PumpUntilSignaled(event, 10000));
    setter.join();
    CloseHandle(event);
}

TEST(MessagePump, QuitMessageEndsThePumpAndStaysQueued)
{
    PostQuitMessage(7);
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(PumpUntil([] { return false; }, 10000));
    EXPECT_LT(GetTickCount64() - start, 5000u);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

// ---- child processes ----

TEST(ChildProcess, ExitCodesComeBackFromChildMode)
{
    for (DWORD code : {0u, 3u, 42u, 1000u}) {
        ChildProcess child = LaunchSelf(L"exit_with", {std::to_wstring(code)});
        ASSERT_TRUE(child.Started()) << child.StartError();
        EXPECT_NE(child.Pid(), 0u);
        EXPECT_EQ(child.Wait(30000), code);
        EXPECT_EQ(child.ExitCode(), code);
    }
    ChildProcess unknown = LaunchSelf(L"no_such_child");
    EXPECT_EQ(unknown.Wait(30000), 125u);
}

TEST(ChildProcess, ArgumentsSurviveQuoting)
{
    TempFolder temp;
    const std::vector<std::wstring> args = {
        L"plain",
        L"two words",
        L"",
        L"quote\"inside",
        L"trailing\\",
        L"slashes\\\\before\\\"quote",
        L"tab\there",
        L"\u00dcn\u00efc\u00f6de \u20ac",
        L"C:\\Program Files\\x\\",
        L"\\\\server\\share",
    };
    std::vector<std::wstring> all = {temp.PathOf(L"args.txt")};
    all.insert(all.end(), args.begin(), args.end());
    ChildProcess child = LaunchSelf(L"write_args", all);
    ASSERT_EQ(child.Wait(30000), 0u) << child.CommandLine();
    EXPECT_EQ(temp.ReadText(L"args.txt"), Join(args));
}

TEST(ChildProcess, AppliesWorkingFolderEnvironmentAndOutputFile)
{
    TempFolder temp;
    SetEnvironmentVariableW(L"SCV_SUPPORT_REMOVED", L"inherited");
    ChildOptions options;
    options.workingDirectory = temp.CreateSubfolder(L"work");
    options.environment = {{L"SCV_SUPPORT_SET", L"value \u00e9"}, {L"scv_support_removed", std::nullopt}};
    ChildProcess child = LaunchSelf(L"write_context", {temp.PathOf(L"context.txt")}, options);
    ASSERT_EQ(child.Wait(30000), 0u);
    SetEnvironmentVariableW(L"SCV_SUPPORT_REMOVED", nullptr);
    EXPECT_EQ(temp.ReadText(L"context.txt"), Join({temp.PathOf(L"work"), L"value \u00e9", L"<unset>"}));

    ChildOptions quiet;
    quiet.outputFile = temp.PathOf(L"out.txt");
    ChildProcess printer = LaunchSelf(L"print", {L"hello from the child"}, quiet);
    ASSERT_EQ(printer.Wait(30000), 0u);
    std::optional<std::string> output = temp.ReadBytes(L"out.txt");
    ASSERT_TRUE(output.has_value());
    EXPECT_NE(output->find("hello from the child"), std::string::npos) << *output;
}

TEST(ChildProcess, WaitTimesOutTerminateEndsAndDestructorKills)
{
    ChildProcess child = LaunchSelf(L"sleep_long");
    ASSERT_TRUE(child.Started());
    EXPECT_FALSE(child.Wait(100).has_value());
    EXPECT_TRUE(child.IsRunning());
    EXPECT_FALSE(child.ExitCode().has_value());
    EXPECT_TRUE(child.Terminate(9));
    EXPECT_EQ(child.Wait(0), 9u);

    HANDLE watcher = nullptr;
    {
        ChildProcess left = LaunchSelf(L"sleep_long");
        ASSERT_TRUE(left.Started());
        watcher = OpenProcess(SYNCHRONIZE, FALSE, left.Pid());
        ASSERT_NE(watcher, nullptr);
    }
    EXPECT_EQ(WaitForSingleObject(watcher, 10000), WAIT_OBJECT_0);
    CloseHandle(watcher);
}

TEST(ChildProcess, MissingProgramReportsTheError)
{
    ChildProcess child = ChildProcess::Run(L"C:\\no\\such\\folder\\missing.exe", {L"x"});
    EXPECT_FALSE(child.Started());
    EXPECT_NE(child.StartError(), 0u);
    EXPECT_FALSE(child.Wait(0).has_value());
}

TEST(ChildProcess, StartsTheMachineCouldNotMakeAreTriedAgain)
{
    struct Case
    {
        const char* name;
        std::vector<DWORD> answers; // of the successive tries; the last one repeats
        DWORD result;
        size_t tries;
    };
    const Case cases[] = {
        {"1359 twice, then started", {ERROR_INTERNAL_ERROR, ERROR_INTERNAL_ERROR, 0}, 0, 3},
        {"out of memory once, then started", {ERROR_NOT_ENOUGH_MEMORY, 0}, 0, 2},
        {"a missing program is not tried again", {ERROR_FILE_NOT_FOUND}, ERROR_FILE_NOT_FOUND, 1},
        {"a real fault after a transient one ends",
         {ERROR_INTERNAL_ERROR, ERROR_ACCESS_DENIED},
         ERROR_ACCESS_DENIED,
         2},
        {"transient every time gives up", {ERROR_INTERNAL_ERROR}, ERROR_INTERNAL_ERROR, 4},
    };
    // Each retry is noted in the file the test run prints at its end (a file of this test here).
    TempFolder folder;
    const std::wstring notes = folder.PathOf(L"notes.log");
    wchar_t runNotes[MAX_PATH] = {};
    const bool hadRunNotes = GetEnvironmentVariableW(L"SCV_TEST_NOTES", runNotes, MAX_PATH) > 0;
    SetEnvironmentVariableW(L"SCV_TEST_NOTES", notes.c_str());
    for (const Case& c : cases) {
        size_t tries = 0;
        DeleteFileW(notes.c_str());
        const DWORD result = RetryTransientStart(
            [&] { return c.answers[std::min(tries++, c.answers.size() - 1)]; }, L"probe.exe", 4, 1);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(tries, c.tries) << c.name;
        const std::string noted = ReadFileBytes(notes).value_or("");
        const size_t retries = IsTransientStartError(c.answers.front()) ? c.tries - 1 : 0;
        EXPECT_EQ(static_cast<size_t>(std::count(noted.begin(), noted.end(), '\n')), retries) << c.name;
        if (retries)
            EXPECT_NE(noted.find("SupportTests.exe ChildProcess.StartsTheMachineCouldNotMakeAreTriedAgain: "
                                 "start of probe.exe failed with error"),
                      std::string::npos)
                << noted;
    }
    SetEnvironmentVariableW(L"SCV_TEST_NOTES", hadRunNotes ? runNotes : nullptr);
}

TEST(ChildProcess, PathsComeFromTheTestEnvironment)
{
    EXPECT_TRUE(FileExists(SourcePath(L"tests\\support\\SupportTests.cpp"))) << SourcePath();
    std::wstring program = ProgramPath(L"Example.exe");
    EXPECT_EQ(program.substr(program.size() - 12), L"\\Example.exe");
    EXPECT_EQ(SelfPath().substr(SelfPath().size() - 25), L"\\support_SupportTests.exe");
}

// ---- dialogs and the watchdog ----

namespace
{

// Shows a message box on its own thread, as test code might leave one open.
class BoxThread
{
public:
    BoxThread(std::wstring caption, std::wstring text, UINT style)
        : thread_([=, this] {
              result_ = MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
              done_ = true;
          })
    {}
    ~BoxThread()
    {
        if (!done_) {
            if (HWND box = FindDialogByCaption(L"Watchdog", GetCurrentProcessId(), true))
                CloseDialog(box);
        }
        thread_.join();
    }
    bool Done() const { return done_; }
    int Result() const { return result_; }

private:
    std::atomic<bool> done_{false};
    std::atomic<int> result_{0};
    std::thread thread_;
};

} // namespace

TEST(DialogWatchdog, ClosesBoxesLeftOpenAndRecordsTheirText)
{
    DialogWatchdog::ScopedMode recordOnly(DialogWatchdog::Mode::RecordOnly);
    DialogWatchdog::ScopedLimit shortLimit(300);
    for (UINT style : {MB_OK, MB_OKCANCEL, MB_YESNO, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL}) {
        std::wstring caption = L"Watchdog probe " + std::to_wstring(style);
        BoxThread box(caption, L"Left open by a test thread", style | MB_ICONWARNING);
        ASSERT_TRUE(WaitUntil([&] { return box.Done(); }, 15000)) << "box style " << style << " not closed";
        EXPECT_NE(box.Result(), IDYES);
        EXPECT_NE(box.Result(), IDRETRY);
        std::optional<std::wstring> text = DialogWatchdog::TakeLastClosedText();
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, caption + L"\nLeft open by a test thread");
    }
    EXPECT_TRUE(DialogWatchdog::TakeFailures().empty());
}

TEST(DialogWatchdog, LeavesBoxesAloneWithinTheLimit)
{
    DialogWatchdog::ScopedLimit limit(60000);
    BoxThread box(L"Watchdog patience", L"Still wanted", MB_OKCANCEL);
    HWND dialog = WaitForDialog(L"Watchdog patience", 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ReadDialogText(dialog), L"Watchdog patience\nStill wanted");
    PumpFor(3 * DialogWatchdog::kScanIntervalMs);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(box.Done());
    EXPECT_TRUE(CloseDialog(dialog));
    ASSERT_TRUE(WaitUntil([&] { return box.Done(); }, 10000));
    EXPECT_EQ(box.Result(), IDCANCEL);
    EXPECT_TRUE(DialogWatchdog::TakeClosedTexts().empty());
}

// Run only by the next test, in a child process: a box left open on the main
// thread must fail this test with the box's text.
TEST(DialogWatchdogFailMode, DISABLED_LeavesBoxOpenOnMainThread)
{
    DialogWatchdog::Allow(300);
    MessageBoxW(nullptr, L"Nobody answers this box", L"Watchdog fail probe", MB_OK);
}

TEST(DialogWatchdog, FailsTheTestThatLeftABoxOpen)
{
    TempFolder temp;
    ChildOptions options;
    options.outputFile = temp.PathOf(L"output.txt");
    ChildProcess child = ChildProcess::Run(
        SelfPath(),
        {L"--gtest_filter=DialogWatchdogFailMode.DISABLED_LeavesBoxOpenOnMainThread",
         L"--gtest_also_run_disabled_tests", L"--gtest_output=json:" + temp.PathOf(L"result.json")},
        options);
    ASSERT_EQ(child.Wait(60000), 1u) << "the child run should fail";
    std::optional<std::wstring> json = temp.ReadText(L"result.json");
    ASSERT_TRUE(json.has_value());
    EXPECT_NE(json->find(L"\"failures\": 1"), std::wstring::npos) << *json;
    EXPECT_NE(json->find(L"closed by the dialog watchdog"), std::wstring::npos) << *json;
    EXPECT_NE(json->find(L"Watchdog fail probe\\nNobody answers this box"), std::wstring::npos) << *json;
}

namespace
{
DWORD WINAPI FakeProcessId()
{
    return 4242;
}
} // namespace

TEST(ImportPatch, ReplacesWhatTheProgramImportsUntilItGoes)
{
    const DWORD real = GetCurrentProcessId();
    {
        ImportPatch patch(GetModuleHandleW(nullptr), "KERNEL32.DLL", "GetCurrentProcessId",
                          reinterpret_cast<void*>(&FakeProcessId));
        ASSERT_TRUE(patch.Applied());
        EXPECT_EQ(GetCurrentProcessId(), 4242u);
        EXPECT_EQ(patch.Original<decltype(&GetCurrentProcessId)>()(), real);
    }
    EXPECT_EQ(GetCurrentProcessId(), real);
    ImportPatch missing(GetModuleHandleW(nullptr), "kernel32.dll", "NoSuchFunction",
                        reinterpret_cast<void*>(&FakeProcessId));
    EXPECT_FALSE(missing.Applied());
}

TEST(PulseCatcher, CatchesAPulseSentOnceItWaitsAndMissesOneSentBefore)
{
    CKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    PulseCatcher waiting(event.Get());
    ASSERT_TRUE(waiting.Arm());
    PulseEvent(event.Get());
    EXPECT_TRUE(waiting.Caught(5000));

    PulseCatcher late(event.Get());
    PulseEvent(event.Get());
    ASSERT_TRUE(late.Arm(300));
    EXPECT_FALSE(late.Caught(5000)) << "a pulse before the wait is lost";
}

TEST(Dialogs, FindsReadsAndClosesABoxOfAnotherProcess)
{
    ChildProcess child = LaunchSelf(L"show_box", {L"Child box probe", L"Shown by the child"});
    ASSERT_TRUE(child.Started());
    HWND dialog = WaitForDialog(L"Child box probe", 15000, child.Pid());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FindDialogByCaption(L"Child box probe"), nullptr) << "found in the wrong process";
    EXPECT_EQ(FindDialogByCaption(L"box pro", child.Pid(), true), dialog);
    EXPECT_EQ(FindDialogByCaption(L"box pro", kAnyProcess, true), dialog);
    EXPECT_EQ(ReadDialogText(dialog), L"Child box probe\nShown by the child");
    std::vector<int> buttons = DialogButtons(dialog);
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), IDOK), buttons.end());
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), IDCANCEL), buttons.end());
    EXPECT_TRUE(CloseDialog(dialog));
    EXPECT_EQ(child.Wait(15000), static_cast<DWORD>(IDCANCEL));
}

// ---- PNG and screenshots ----

namespace
{

// A PNG whose rows use each filter type in turn, built here independently of
// the encoder (grey+alpha, 5 x 5).
std::string FilteredPng(const std::vector<std::vector<std::uint8_t>>& rows)
{
    const int bpp = 2;
    std::string raw;
    std::vector<std::uint8_t> prev(rows[0].size(), 0);
    for (size_t y = 0; y < rows.size(); ++y) {
        const auto& row = rows[y];
        int filter = static_cast<int>(y % 5);
        raw.push_back(static_cast<char>(filter));
        for (size_t i = 0; i < row.size(); ++i) {
            int a = i >= bpp ? row[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
            int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            int paeth = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            int predictors[] = {0, a, b, (a + b) / 2, paeth};
            raw.push_back(static_cast<char>(row[i] - predictors[filter]));
        }
        prev = row;
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    packed.resize(size);
    auto chunk = [](std::string& out, const std::string& type, const std::string& data) {
        for (int s = 24; s >= 0; s -= 8)
            out.push_back(static_cast<char>((data.size() >> s) & 0xFF));
        std::string body = type + data;
        out += body;
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
        for (int s = 24; s >= 0; s -= 8)
            out.push_back(static_cast<char>((crc >> s) & 0xFF));
    };
    std::string png("\x89PNG\r\n\x1a\n", 8);
    chunk(png, "IHDR", std::string("\0\0\0\5\0\0\0\5\x08\x04\0\0\0", 13));
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

} // namespace

TEST(Png, EncodesValidFilesThatDecodeToTheSamePixels)
{
    RgbImage image(37, 13);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.Set(x, y, RGB(x * 7, y * 19, (x * y) & 0xFF));
    std::string png = EncodePng(image);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x25\0\0\0\x0d", 8));
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));

    std::optional<RgbImage> decoded = DecodePng(png);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->width, 37);
    EXPECT_EQ(decoded->height, 13);
    EXPECT_EQ(decoded->pixels, image.pixels);

    std::string damaged = png;
    damaged[50] ^= 0x01;
    EXPECT_FALSE(DecodePng(damaged).has_value());
    EXPECT_FALSE(DecodePng(png.substr(0, png.size() - 12)).has_value());
    EXPECT_FALSE(DecodePng("not a png").has_value());
}

TEST(Png, DecodesEveryRowFilter)
{
    std::vector<std::vector<std::uint8_t>> rows(5, std::vector<std::uint8_t>(10));
    for (int y = 0; y < 5; ++y)
        for (int i = 0; i < 10; ++i)
            rows[y][i] = static_cast<std::uint8_t>((y * 53 + i * 29 + (i * i * y)) & 0xFF);
    std::optional<RgbImage> decoded = DecodePng(FilteredPng(rows));
    ASSERT_TRUE(decoded.has_value());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            BYTE grey = rows[y][x * 2];
            EXPECT_EQ(decoded->At(x, y), RGB(grey, grey, grey)) << x << "," << y;
        }
}

namespace
{

constexpr COLORREF kProbeColour = RGB(200, 30, 60);

struct ColourWindow
{
    HWND hwnd = nullptr;
    HBRUSH brush = CreateSolidBrush(kProbeColour);
    ColourWindow(int x, int y, int w, int h)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush;
        wc.lpszClassName = L"ScvSupportColour";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"colour",
                               WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(hwnd);
    }
    ~ColourWindow()
    {
        DestroyWindow(hwnd);
        UnregisterClassW(L"ScvSupportColour", GetModuleHandleW(nullptr));
        DeleteObject(brush);
    }
};

} // namespace

TEST(Screenshot, SavesTheScreenAndOneWindowAsPng)
{
    TempFolder temp;
    ColourWindow window(100, 120, 160, 90);
    ASSERT_NE(window.hwnd, nullptr);
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::optional<RgbImage> shot = CaptureWindow(window.hwnd);
            return shot && shot->At(80, 45) == kProbeColour;
        },
        5000))
        << "the window never showed on the screen";

    ASSERT_TRUE(SaveScreenshotPng(temp.PathOf(L"screen.png")));
    std::optional<RgbImage> screen = ReadPng(temp.PathOf(L"screen.png"));
    ASSERT_TRUE(screen.has_value());
    RECT virtualScreen = VirtualScreenRect();
    EXPECT_EQ(screen->width, virtualScreen.right - virtualScreen.left);
    EXPECT_EQ(screen->height, virtualScreen.bottom - virtualScreen.top);
    EXPECT_EQ(screen->At(180 - virtualScreen.left, 165 - virtualScreen.top), kProbeColour);

    ASSERT_TRUE(SaveWindowPng(window.hwnd, temp.PathOf(L"window.png")));
    std::optional<RgbImage> shot = ReadPng(temp.PathOf(L"window.png"));
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->width, 160);
    EXPECT_EQ(shot->height, 90);
    for (auto [x, y] : {std::pair{0, 0}, {159, 0}, {0, 89}, {159, 89}, {80, 45}})
        EXPECT_EQ(shot->At(x, y), kProbeColour) << x << "," << y;

    EXPECT_FALSE(SaveWindowPng(nullptr, temp.PathOf(L"none.png")));
    EXPECT_FALSE(FileExists(temp.PathOf(L"none.png")));
}
