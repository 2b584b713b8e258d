// test-locks: sharedlog
// The shared log: entry shapes, the file's byte order mark, the collected
// lines, recovery from a writer that hangs, and two processes writing at once.
// Every test uses the one fixed sync event name, hence the lock.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "common/SharedLog.h"
#include "support/ChildMain.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kWriteTimeoutMs = 20000;

// The whole file as UTF-16 units (byte order mark included).
std::wstring ReadRaw(const std::wstring& path)
{
    const auto bytes = scvtest::ReadFileBytes(path);
    if (!bytes)
        return std::wstring();
    std::wstring text(bytes->size() / 2, L'\0');
    memcpy(text.data(), bytes->data(), text.size() * 2);
    return text;
}

// The entries of a log text without its mark, split at CR LF (the text after
// the last CR LF, normally empty, is the last element).
std::vector<std::wstring> SplitEntries(std::wstring text)
{
    if (!text.empty() && text[0] == 0xFEFF)
        text.erase(0, 1);
    std::vector<std::wstring> entries;
    size_t start = 0;
    for (size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2)
        entries.push_back(text.substr(start, at - start));
    entries.push_back(text.substr(start));
    return entries;
}

class SharedLogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetLogProgramTag(kLogTagMainProgram);
        ClearLogSourceTag();
        m_path = m_temp.PathOf(L"LogReport.txt");
    }
    void TearDown() override
    {
        WaitForPendingLogEntries(kWriteTimeoutMs);
        LogClose();
        LogWriteCollectedLines(); // forget what a failed test left collected
    }

    // Writes through `write`, waits until it is on disk and returns the last entry.
    template <typename Write>
    std::wstring WriteAndRead(Write write)
    {
        EXPECT_TRUE(write());
        EXPECT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
        std::vector<std::wstring> entries = SplitEntries(ReadRaw(m_path));
        EXPECT_GE(entries.size(), 2u);
        EXPECT_EQ(entries.back(), L"") << "every entry ends with CR LF";
        return entries.size() >= 2 ? entries[entries.size() - 2] : std::wstring();
    }

    scvtest::TempFolder m_temp;
    std::wstring m_path;
};

const std::wstring kStamp = L"\\[\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\]";

bool Matches(const std::wstring& text, const std::wstring& pattern)
{
    return std::regex_match(text, std::wregex(pattern));
}

TEST_F(SharedLogTest, NothingIsWrittenWhileClosed)
{
    EXPECT_FALSE(IsLogOpen());
    EXPECT_FALSE(WriteLogLine(L"x"));
    EXPECT_FALSE(PostLogEntry(L"x"));
    EXPECT_FALSE(LogError(L"x"));
    EXPECT_FALSE(LogClose());
    wchar_t buffer[8] = L"junk";
    EXPECT_TRUE(GetLogPath(buffer, 8));
    EXPECT_STREQ(buffer, L"");
    EXPECT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    EXPECT_FALSE(scvtest::FileExists(m_path));
}

TEST_F(SharedLogTest, OpenCloseAndThePathAtom)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));
    EXPECT_TRUE(IsLogOpen());
    EXPECT_FALSE(LogOpen(m_temp.PathOf(L"other.txt").c_str())) << "already open";

    wchar_t atomName[MAX_PATH + 1] = {};
    ASSERT_GT(GlobalGetAtomNameW(GetLogAtom(), atomName, MAX_PATH + 1), 0u);
    EXPECT_STREQ(atomName, m_path.c_str()) << "the first path stays";

    wchar_t full[MAX_PATH + 1] = {};
    EXPECT_TRUE(GetLogPath(full, MAX_PATH + 1));
    EXPECT_STREQ(full, m_path.c_str());
    wchar_t cut[5] = {};
    EXPECT_TRUE(GetLogPath(cut, 5));
    EXPECT_EQ(std::wstring(cut), m_path.substr(0, 4));

    EXPECT_FALSE(PostLogEntry(L"")) << "an empty text";
    EXPECT_FALSE(PostLogEntry(nullptr));
    EXPECT_TRUE(LogClose());
    EXPECT_FALSE(IsLogOpen());
    EXPECT_FALSE(LogOpen(std::wstring(262, L'a').c_str())) << "longer than the path buffer";
}

TEST_F(SharedLogTest, ANewFileStartsWithTheMarkAnExistingOneGetsNone)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));
    WriteAndRead([] { return PostLogEntry(L"first"); });
    WriteAndRead([] { return PostLogEntry(L"second\r\n"); });
    EXPECT_EQ(ReadRaw(m_path), std::wstring(L"\xFEFF") + L"first\r\nsecond\r\n")
        << "one mark at the start, CR LF never doubled";
    ASSERT_TRUE(LogClose());

    // An existing empty file is appended to as it is.
    const std::wstring empty = m_temp.WriteBytes(L"empty.txt", "");
    ASSERT_TRUE(LogOpen(empty.c_str()));
    EXPECT_TRUE(PostLogEntry(L"line"));
    ASSERT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    EXPECT_EQ(ReadRaw(empty), L"line\r\n");
}

TEST_F(SharedLogTest, EntryShapes)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));

    EXPECT_TRUE(
        Matches(WriteAndRead([] { return WriteLogLine(L"hello"); }), L"EXE_Agent: " + kStamp + L" hello"));
    EXPECT_TRUE(Matches(WriteAndRead([] { return FormatLogLine(L"plain", nullptr); }), kStamp + L" plain"));
    EXPECT_TRUE(Matches(WriteAndRead([] { return WriteLogLineWithPrefix(L"text", L"Pre"); }),
                        L"EXE_Agent: " + kStamp + L" Pre: text"));
    EXPECT_EQ(WriteAndRead([] { return LogError(L"bad thing"); }), L"ERROR: [bad thing]");

    SetLogSourceTag(L"SOURCE");
    EXPECT_TRUE(
        Matches(WriteAndRead([] { return WriteLogLine(L"tagged"); }), L"SOURCE: " + kStamp + L" tagged"));
    ClearLogSourceTag();
    SetLogProgramTag(kLogTagEditor);
    EXPECT_TRUE(
        Matches(WriteAndRead([] { return WriteLogLine(L"editor"); }), L"EXE_Editor: " + kStamp + L" editor"));
    SetLogProgramTag(kLogTagMainProgram);

    HWND window =
        CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const std::wstring handle = std::to_wstring(reinterpret_cast<INT_PTR>(window));
    EXPECT_EQ(WriteAndRead([&] { return LogWindowInfo(L"Pane", window); }),
              L"Pane: IsWindow HWND=" + handle + L" ? 1; CLASSNAME: [Static]");
    EXPECT_EQ(WriteAndRead([&] { return LogWindowInfo(nullptr, window); }),
              L"IsWindow HWND=" + handle + L" ? 1; CLASSNAME: [Static]");

    EXPECT_TRUE(LogWindowState(window, L"Probe"));
    ASSERT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    std::vector<std::wstring> entries = SplitEntries(ReadRaw(m_path));
    ASSERT_GE(entries.size(), 3u);
    std::vector<std::wstring> state(entries.end() - 3, entries.end() - 1);
    std::sort(state.begin(), state.end()); // two threads: either order
    EXPECT_TRUE(Matches(state[0], L"Probe: " + kStamp + L" Probe: IsWindow=1")) << state[0];
    EXPECT_TRUE(Matches(state[1], L"Probe: " + kStamp + L" Probe: classname=\\[Static\\]")) << state[1];
    EXPECT_TRUE(
        Matches(WriteAndRead([] { return WriteLogLine(L"after"); }), L"EXE_Agent: " + kStamp + L" after"))
        << "the source tag is cleared again";
    DestroyWindow(window);
}

TEST_F(SharedLogTest, OverlongTextsAreWrittenAloneOrCut)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));
    // "EXE_Agent" (9) + date (8) + time (8) + 11 = 36 characters around the text.
    const std::wstring fits(102399 - 36 - 1, L'f');
    const std::wstring alone(102399 - 36, L'a');
    const std::wstring formatted = WriteAndRead([&] { return WriteLogLine(fits.c_str()); });
    EXPECT_TRUE(Matches(formatted.substr(0, 32), L"EXE_Agent: " + kStamp + L" f"));
    EXPECT_TRUE(formatted.substr(31) == fits) << "formatted length " << formatted.size();
    EXPECT_TRUE(WriteAndRead([&] { return WriteLogLine(alone.c_str()); }) == alone);

    const std::wstring huge(20000, L'e');
    const std::wstring error = WriteAndRead([&] { return LogError(huge.c_str()); });
    EXPECT_EQ(error.size(), 9999u) << "cut to the 10000-character buffer";
    EXPECT_EQ(error.substr(0, 9), L"ERROR: [e");
    EXPECT_EQ(error.back(), L']');
    const std::wstring prefixed = WriteAndRead([&] { return WriteLogLineWithPrefix(huge.c_str(), L"P"); });
    EXPECT_EQ(prefixed.size(), std::wstring(L"EXE_Agent: [01/01/01 00:00:00] ").size() + 9999);
}

TEST_F(SharedLogTest, CollectedLinesAreWrittenOnce)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));
    EXPECT_FALSE(LogWriteCollectedLines()) << "nothing collected";
    SetLogSourceTag(L"IGNORED");
    EXPECT_TRUE(LogCollectLine(L"one"));
    EXPECT_TRUE(LogCollectLine(L"two"));
    ClearLogSourceTag();
    const std::wstring entry = WriteAndRead([] { return LogWriteCollectedLines(); });
    EXPECT_TRUE(Matches(entry, L"EXE_Agent " + kStamp + L" one\nEXE_Agent " + kStamp + L" two")) << entry;
    EXPECT_FALSE(LogWriteCollectedLines());
    ASSERT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    EXPECT_EQ(SplitEntries(ReadRaw(m_path)).size(), 2u) << "one entry and the empty rest";
}

TEST_F(SharedLogTest, AWriterThatHoldsTheFileDelaysButNeverTruncates)
{
    const std::wstring path = m_temp.WriteBytes(L"held.txt", std::string("\xFF\xFEo\0l\0d\0\r\0\n\0", 12));
    ASSERT_TRUE(LogOpen(path.c_str()));
    // Held by a reader that allows no writer.
    HANDLE held =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(PostLogEntry(L"new"));
    Sleep(300); // the writer meets the held file and tries again
    EXPECT_EQ(ReadRaw(path), L"\xFEFFold\r\n");
    CloseHandle(held);
    ASSERT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    EXPECT_EQ(ReadRaw(path), L"\xFEFFold\r\nnew\r\n");
}

TEST_F(SharedLogTest, AHungWriterCostsOnlyItsOwnEntry)
{
    ASSERT_TRUE(LogOpen(m_path.c_str()));
    HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, GetLogSyncEventName());
    ASSERT_NE(event, nullptr);
    ResetEvent(event); // as if another writer took the file and hung

    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(PostLogEntry(L"lost"));
    ASSERT_TRUE(WaitForPendingLogEntries(kWriteTimeoutMs));
    EXPECT_GE(GetTickCount64() - start, 4500u) << "waited for the event";
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the event is free again";
    EXPECT_FALSE(scvtest::FileExists(m_path)) << "the entry was dropped";

    EXPECT_EQ(WriteAndRead([] { return PostLogEntry(L"next"); }), L"next");
    CloseHandle(event);
}

// Child: opens the log, sets "<events>_Ready", waits for "<events>_Go", writes
// `count` lines "<name>-<i>" and waits until they are on disk.
SCV_CHILD_MAIN(shared_log_writer)
{
    if (args.size() != 4)
        return 2;
    const std::wstring& path = args[0];
    const int count = std::stoi(args[1]);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (args[2] + L"_Ready").c_str());
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, (args[2] + L"_Go").c_str());
    if (!ready || !go || !LogOpen(path.c_str()))
        return 3;
    SetEvent(ready);
    CloseHandle(ready);
    if (WaitForSingleObject(go, 30000) != WAIT_OBJECT_0)
        return 4;
    for (int i = 0; i < count; ++i)
        if (!WriteLogLine((args[3] + L"-" + std::to_wstring(i)).c_str()))
            return 5;
    if (!WaitForPendingLogEntries(60000))
        return 6;
    LogClose();
    CloseHandle(go);
    return 0;
}

TEST_F(SharedLogTest, TwoProcessesWritingAtOnceLoseAndDoubleNothing)
{
    constexpr int kLines = 150;
    const std::wstring events = L"Local\\ScvTest_Log_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(GetTickCount());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (events + L"_Ready").c_str());
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, (events + L"_Go").c_str());
    ASSERT_NE(ready, nullptr);
    ASSERT_NE(go, nullptr);
    ASSERT_TRUE(LogOpen(m_path.c_str()));

    scvtest::ChildProcess child =
        scvtest::LaunchSelf(L"shared_log_writer", {m_path, std::to_wstring(kLines), events, L"child"});
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(WaitForSingleObject(ready, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(ready);
    SetEvent(go);
    for (int i = 0; i < kLines; ++i)
        ASSERT_TRUE(WriteLogLine((L"parent-" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(child.Wait(120000), std::optional<DWORD>(0));
    ASSERT_TRUE(WaitForPendingLogEntries(60000));
    CloseHandle(go);

    const std::wstring raw = ReadRaw(m_path);
    ASSERT_FALSE(raw.empty());
    EXPECT_EQ(raw[0], 0xFEFF);
    EXPECT_EQ(raw.find(L'\xFEFF', 1), std::wstring::npos) << "the mark only at the start";

    std::vector<std::wstring> entries = SplitEntries(raw);
    EXPECT_EQ(entries.back(), L"");
    entries.pop_back();
    std::map<std::wstring, int> seen;
    const std::wregex shape(L"EXE_Agent: " + kStamp + L" ((parent|child)-\\d+)");
    for (const std::wstring& entry : entries) {
        std::wsmatch match;
        ASSERT_TRUE(std::regex_match(entry, match, shape)) << "garbled entry: " << scvtest::WideToUtf8(entry);
        ++seen[match[1].str()];
    }
    for (const wchar_t* who : {L"parent", L"child"})
        for (int i = 0; i < kLines; ++i) {
            const std::wstring line = std::wstring(who) + L"-" + std::to_wstring(i);
            EXPECT_EQ(seen[line], 1) << scvtest::WideToUtf8(line);
        }
    EXPECT_EQ(entries.size(), static_cast<size_t>(2 * kLines));
}

} // namespace
