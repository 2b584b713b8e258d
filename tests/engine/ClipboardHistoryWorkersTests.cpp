// test-locks: appevents

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryFiles.h"
#include "engine/ClipboardHistoryWorkers.h"

#include "common/Settings.h"

#include "support/MessagePump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
// A message-only window that plays the watcher: it records saved copies and
// merges loaded history into its own queue.
struct FakeWatcher
{
    CCHQueue queue;
    std::vector<std::pair<std::wstring, std::wstring>> saved; // key, data file path
    int loadedMessages = 0;
    HWND window = nullptr;

    FakeWatcher()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestHistoryWatcher";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, this);
    }
    ~FakeWatcher() { ::DestroyWindow(window); }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(
                window, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<FakeWatcher*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == GetHistoryItemSavedMessage() && lParam) {
            const auto* copy = reinterpret_cast<const CCHItem*>(lParam);
            self->saved.emplace_back(copy->GetKey().GetString(), copy->GetDataFilePath().GetString());
            return 1;
        }
        if (self && message == GetHistoryLoadedMessage()) {
            ++self->loadedMessages;
            self->queue.MergeLoaded(*reinterpret_cast<CCHQueue*>(lParam), 30);
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

class SaveSettingScope
{
public:
    explicit SaveSettingScope(int value) : m_old(GetSettings().GetSaveClipboardHistory())
    {
        GetSettings().SetSaveClipboardHistory(value);
    }
    ~SaveSettingScope() { GetSettings().SetSaveClipboardHistory(m_old); }

private:
    int m_old;
};

void AddText(CCHQueue& queue, const wchar_t* text)
{
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    item->SetUnicodeText(text);
    queue.Add(item, 30);
}
} // namespace

TEST(ClipboardHistoryWorkers, SaveWorkerWritesItemsNotOnDiskAndLoadThreadHandsThemBack)
{
    scvtest::TempFolder folder;
    const CString historyFolder = (folder.Path() + L"\\ClipboardHistory").c_str();
    SaveSettingScope enabled(1);
    FakeWatcher watcher;
    ASSERT_TRUE(watcher.window);

    CCHQueue history;
    history.SetHistoryFolder(historyFolder);
    AddText(history, L"one");
    AddText(history, L"two");
    AddText(history, L"already saved");
    history.GetItem(0)->SetFileInfo(2, L"elsewhere");

    EXPECT_EQ(SaveHistory(history, watcher.window), 1);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return watcher.saved.size() == 2; }, 10000));
    ASSERT_TRUE(scvtest::PumpUntil([] { return !IsHistorySaveLoadBusy(); }, 10000));
    EXPECT_EQ(watcher.saved[0].first, std::wstring(history.GetItem(2)->GetKey().GetString()));
    EXPECT_EQ(watcher.saved[1].first, std::wstring(history.GetItem(1)->GetKey().GetString()));
    EXPECT_TRUE(folder.Exists(L"ClipboardHistory\\Unicode_clipboard_history1.txt"));
    EXPECT_TRUE(folder.Exists(L"ClipboardHistory\\scrivolanter_cb2.info"));
    EXPECT_FALSE(folder.Exists(L"ClipboardHistory\\scrivolanter_cb3.info"));

    ASSERT_TRUE(LoadHistoryIfEnabled(historyFolder, watcher.window));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return watcher.loadedMessages == 1; }, 10000));
    ASSERT_TRUE(scvtest::PumpUntil([] { return !IsHistorySaveLoadBusy(); }, 10000));
    ASSERT_EQ(watcher.queue.GetCount(), 2);
    std::vector<std::wstring> texts{watcher.queue.GetItem(0)->GetWideText().GetString(),
                                    watcher.queue.GetItem(1)->GetWideText().GetString()};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"one", L"two"}));
}

TEST(ClipboardHistoryWorkers, NothingIsSavedOrLoadedWhileTheSettingIsOff)
{
    scvtest::TempFolder folder;
    SaveSettingScope disabled(0);
    CCHQueue history;
    history.SetHistoryFolder(folder.PathOf(L"h").c_str());
    AddText(history, L"x");
    EXPECT_EQ(SaveHistory(history, nullptr), 0);
    EXPECT_FALSE(LoadHistoryIfEnabled(folder.PathOf(L"h").c_str(), nullptr));
    EXPECT_FALSE(folder.Exists(L"h"));

    SaveSettingScope enabled(1);
    EXPECT_EQ(SaveHistory(CCHQueue(), nullptr), 1);
    // A folder path that names a file cannot be used.
    folder.WriteBytes(L"file", "f");
    history.SetHistoryFolder(folder.PathOf(L"file").c_str());
    EXPECT_EQ(SaveHistory(history, nullptr), 0);
}
