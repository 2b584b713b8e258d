// test-locks: appevents desktop clipboard sharedlog
// test-sources: ../../../app/Scrivolanter.rc
// The tray menu in this process: the loaded menu brought up to date by
// WM_INITMENUPOPUP against a table of settings, the "Clipboard History"
// pop-up filled from a history source, the language pop-up, and the tray
// commands with what they change (settings and their file, the log, mute
// mode, the phrase tree).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/AppObjects.h"
#include "app/entry/CommandLineArgs.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/tray/SoundPlayer.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "tests/app/FolderSettings.h"
#include "tests/app/tray/TrayWindowHarness.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "app/tray/TrayMenuRes.h"
#include "support/MessagePump.h"
#include "support/ToolTipWindow.h"

namespace
{

using scvtest::SettingsFolder;

std::wstring PhraseFile(const wchar_t* name)
{
    return std::wstring(L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
                        L"<SCVCommand UsageCount=\"0\" SortID=\"1\">\r\n    <MenuName>") +
           name + L"</MenuName>\r\n    <DataType>TEXT</DataType>\r\n    <Cmd>x</Cmd>\r\n</SCVCommand>\r\n";
}

class TrayMenuEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        scvtest::UseQuietSettingsFolder();
        SettingsFolder().WriteUtf8(L"Phrases\\One.scrivolanter", PhraseFile(L"One"));
    }
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new TrayMenuEnvironment);

bool IsChecked(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool IsGrayed(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

std::wstring TextByPosition(HMENU menu, int position)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, ARRAYSIZE(text), MF_BYPOSITION);
    return text;
}

std::wstring TextById(HMENU menu, UINT id)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, id, text, ARRAYSIZE(text), MF_BYCOMMAND);
    return text;
}

// The position of the top-level pop-up whose sub-menu holds the command.
int PopupPositionOf(HMENU menu, UINT command)
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub && ::GetMenuState(sub, command, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return i;
    }
    return -1;
}

int SavedSetting(const wchar_t* key)
{
    return static_cast<int>(::GetPrivateProfileIntW(GetSettingsSectionName(), key, -1,
                                                    GetSettings().GetFiles().GetSettingsFilePath()));
}

class FakeHistory : public ITrayHistorySource
{
public:
    int count = 0;
    bool capturing = true;
    std::vector<int> putOnClipboard;

    bool IsCapturing() const override { return capturing; }
    bool Start(HWND, bool) override { return capturing = true; }
    void Stop() override { capturing = false; }
    CString GetErrorText() const override { return CString(); }
    int GetSpyMethod() const override { return 2; }
    int GetCount() const override { return count; }
    bool GetItemInfo(int, TrayHistoryItemInfo&) const override { return false; }
    CString GetMenuCaption(int index) const override
    {
        CString caption;
        caption.Format(L"item %d", index);
        return caption;
    }
    bool PutOnClipboard(int index) override
    {
        putOnClipboard.push_back(index);
        return true;
    }
    bool Clear() override { return false; }
    bool Save() override { return false; }
    void* GetWatcherObject() override { return this; }
    void* GetQueueObject() override { return nullptr; }
};

class TrayMenuTest : public testing::Test, protected scvtest::TrayWindowHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateTrayWindow(L"/noinstall", true));
        m_loaded.Reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
        ASSERT_TRUE(m_loaded);
        m_menu = ::GetSubMenu(m_loaded, 0);
        ASSERT_NE(m_menu, nullptr);
    }

    void TearDown() override
    {
        m_window->SetClipboardHistorySource(nullptr);
        DestroyTrayWindow();
    }

    void InitPopup(HMENU menu) const
    {
        ::SendMessageW(m_window->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    }

    void Command(UINT id) const { ::SendMessageW(m_window->m_hWnd, WM_COMMAND, id, 0); }

    CMenuHolder m_loaded;
    HMENU m_menu = nullptr;
};

TEST_F(TrayMenuTest, InitMenuPopupShowsTheSettingsInCheckMarksAndGrayedItems)
{
    struct Case
    {
        int sounds;
        int paneOnStart;
        int pinned;
        int saveHistory;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 1, 1}};
    CSettings& settings = GetSettings();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "sounds " << c.sounds << " pane " << c.paneOnStart << " pinned "
                                        << c.pinned << " save " << c.saveHistory);
        settings.SoundOnEventsV094 = c.sounds;
        settings.ShowHistoryPaneOnStart = c.paneOnStart;
        settings.Pinned_FloatPane_On_Start = c.pinned;
        settings.SaveClipboardHistory_v198 = c.saveHistory;
        InitPopup(m_menu);
        EXPECT_EQ(IsChecked(m_menu, ID_TRAY_SOUNDS), c.sounds != 0);
        EXPECT_EQ(IsGrayed(m_menu, ID_TRAY_MUTE_MODE), c.sounds == 0) << "mute mode needs sounds";
        EXPECT_EQ(IsChecked(m_menu, ID_TRAY_FLOAT_PANE_ON_START), c.paneOnStart != 0);
        EXPECT_EQ(IsChecked(m_menu, ID_TRAY_PINNED_ON_START), c.pinned != 0);
        EXPECT_EQ(IsChecked(m_menu, ID_TRAY_HISTORY_SAVE_ON_EXIT), c.saveHistory != 0);
        EXPECT_EQ(IsChecked(m_menu, ID_TRAY_WRITE_LOG), IsLogOpen());
    }
    settings.SoundOnEventsV094 = 0;
    settings.ShowHistoryPaneOnStart = 0;

    EXPECT_FALSE(IsChecked(m_menu, ID_TRAY_ENABLE_PHRASE_MENU)) << "no phrase menu service with /noinstall";
    if (CAppObjects::IsElevated()) {
        EXPECT_TRUE(IsGrayed(m_menu, ID_TRAY_RUN_AS_ADMIN));
    } else {
        EXPECT_FALSE(IsGrayed(m_menu, ID_TRAY_RUN_AS_ADMIN));
        EXPECT_EQ(::GetMenuDefaultItem(m_menu, FALSE, 0), static_cast<UINT>(ID_TRAY_RUN_AS_ADMIN));
    }
    // Texts with counts: repeated updates replace the bracketed part.
    InitPopup(m_menu);
    EXPECT_EQ(TextById(m_menu, ID_TRAY_REREAD_PHRASES), L"Reread Phrases [1/1]");
    const int history = PopupPositionOf(m_menu, ID_TRAY_HISTORY_KEEP);
    ASSERT_GE(history, 0);
    CString expected;
    expected.Format(L"Clipboard History [0/%d]", GetSettings().GetClipboardHistoryMax());
    EXPECT_EQ(TextByPosition(m_menu, history), std::wstring(expected.GetString()));
    EXPECT_NE(::GetSubMenu(m_menu, history), nullptr) << "the caption change keeps the pop-up";
    EXPECT_FALSE(IsChecked(m_menu, ID_TRAY_HISTORY_KEEP)) << "no capture without a history";
    EXPECT_TRUE(IsGrayed(m_menu, ID_TRAY_HISTORY_CLEAR));
    EXPECT_TRUE(IsGrayed(m_menu, ID_TRAY_HISTORY_REKEEP));
}

TEST_F(TrayMenuTest, SaveFromClipboardNeedsTextOnTheClipboard)
{
    for (bool withText : {true, false}) {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        if (withText) {
            HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 8);
            std::memcpy(::GlobalLock(block), L"abc", 8);
            ::GlobalUnlock(block);
            ::SetClipboardData(CF_UNICODETEXT, block);
        }
        ::CloseClipboard();
        InitPopup(m_menu);
        EXPECT_EQ(IsGrayed(m_menu, ID_TRAY_SAVE_FROM_CLIPBOARD), !withText);
    }
}

TEST_F(TrayMenuTest, HistoryPopupListsTheNewestItemsUpToTheMenuLimit)
{
    FakeHistory history;
    history.count = 4;
    m_window->SetClipboardHistorySource(&history);
    CSettings& settings = GetSettings();
    const int limit = settings.MaxHistoryItemsInMenu;
    settings.MaxHistoryItemsInMenu = 3;

    InitPopup(m_menu);
    const int position = PopupPositionOf(m_menu, ID_TRAY_HISTORY_KEEP);
    ASSERT_GE(position, 0);
    HMENU popup = ::GetSubMenu(m_menu, position);
    EXPECT_TRUE(IsChecked(m_menu, ID_TRAY_HISTORY_KEEP));
    EXPECT_TRUE((::GetMenuState(m_menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_CHECKED) != 0);
    EXPECT_FALSE(IsGrayed(m_menu, ID_TRAY_HISTORY_CLEAR));
    // Twice: the items are replaced, not added again.
    InitPopup(popup);
    InitPopup(popup);
    EXPECT_EQ(::GetMenuItemCount(popup), 5 + 1 + 3) << "a separator, then the items";
    EXPECT_EQ(::GetMenuItemID(popup, 5), 0u);
    EXPECT_EQ(TextById(popup, kTrayHistoryFirstId), L"item 0");
    EXPECT_EQ(TextById(popup, kTrayHistoryFirstId + 2), L"item 2");
    EXPECT_EQ(::GetMenuState(popup, kTrayHistoryFirstId + 3, MF_BYCOMMAND), static_cast<UINT>(-1));

    Command(kTrayHistoryFirstId + 2);
    EXPECT_EQ(history.putOnClipboard, std::vector<int>{2});
    EXPECT_EQ(::SendMessageW(m_window->m_hWnd, WM_SCV_GET_CLIPBOARD_WATCHER, 0, 0),
              reinterpret_cast<LRESULT>(&history));
    const int historySetting = settings.ClipboardHistory;
    Command(ID_TRAY_HISTORY_KEEP);
    EXPECT_FALSE(history.capturing) << "Keep switches capture off";
    EXPECT_EQ(settings.ClipboardHistory, 0) << "a reload of the settings would switch it on again";
    Command(ID_TRAY_HISTORY_KEEP);
    EXPECT_TRUE(history.capturing);
    EXPECT_EQ(settings.ClipboardHistory, 1);
    settings.ClipboardHistory = historySetting;
    settings.MaxHistoryItemsInMenu = limit;
}

TEST_F(TrayMenuTest, LanguagePopupNamesTheCurrentLanguageAndIgnoresUnknownIds)
{
    ASSERT_TRUE(m_window->FillLanguageSubMenu(m_menu));
    const int position = PopupPositionOf(m_menu, ID_TRAY_HOW_TO_LOCALIZE);
    ASSERT_GE(position, 0);
    EXPECT_EQ(TextByPosition(m_menu, position), L"Language [En]");
    EXPECT_NE(::GetSubMenu(m_menu, position), nullptr);

    // An id beyond the list (it may be empty or stale when the request comes) changes nothing.
    const CString before = GetSettings().GetLanguageFileName();
    const UINT beyond = kTrayLanguageFirstId + static_cast<UINT>(m_window->GetLanguageList().size());
    for (UINT id : {beyond, static_cast<UINT>(kTrayLanguageLastId)}) {
        EXPECT_EQ(::SendMessageW(m_window->m_hWnd, WM_SCV_LANGUAGE_COMMAND, id, 0), 0);
        EXPECT_EQ(GetSettings().GetLanguageFileName(), before);
    }
}

TEST_F(TrayMenuTest, SwitchCommandsFlipTheirSettingAndSaveIt)
{
    struct Case
    {
        UINT command;
        int CSettings::*member;
        const wchar_t* key;
    };
    const Case cases[] = {
        {ID_TRAY_SOUNDS, &CSettings::SoundOnEventsV094, L"SoundOnEventsV094"},
        {ID_TRAY_FLOAT_PANE_ON_START, &CSettings::ShowHistoryPaneOnStart, L"ShowHistoryPaneOnStart"},
        {ID_TRAY_PINNED_ON_START, &CSettings::Pinned_FloatPane_On_Start, L"Pinned_FloatPane_On_Start"},
        {ID_TRAY_HISTORY_SAVE_ON_EXIT, &CSettings::SaveClipboardHistory_v198, L"SaveClipboardHistory_v198"},
    };
    CSettings& settings = GetSettings();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command);
        const int before = settings.*c.member;
        Command(c.command);
        EXPECT_EQ(settings.*c.member, before ? 0 : 1);
        EXPECT_EQ(SavedSetting(c.key), settings.*c.member);
        Command(c.command);
        EXPECT_EQ(settings.*c.member, before);
        EXPECT_EQ(SavedSetting(c.key), before);
    }
}

TEST_F(TrayMenuTest, LogMuteAndRereadCommandsChangeWhatTheyName)
{
    const bool logOpen = IsLogOpen();
    Command(ID_TRAY_WRITE_LOG);
    EXPECT_NE(IsLogOpen(), logOpen);
    EXPECT_EQ(SavedSetting(L"WriteLog"), IsLogOpen() ? 1 : 0);
    Command(ID_TRAY_WRITE_LOG);
    EXPECT_EQ(IsLogOpen(), logOpen);

    const bool muted = CAppObjects::IsMuteMode();
    Command(ID_TRAY_MUTE_MODE);
    EXPECT_NE(CAppObjects::IsMuteMode(), muted);
    Command(ID_TRAY_MUTE_MODE);
    EXPECT_EQ(CAppObjects::IsMuteMode(), muted);

    const std::wstring added = SettingsFolder().WriteUtf8(L"Phrases\\Two.scrivolanter", PhraseFile(L"Two"));
    Command(ID_TRAY_REREAD_PHRASES);
    int included = 0;
    int all = 0;
    m_window->GetPhraseStore().GetPhraseCounts(&included, &all);
    EXPECT_EQ(all, 2);
    ::DeleteFileW(added.c_str());
    Command(ID_TRAY_REREAD_PHRASES);
    m_window->GetPhraseStore().GetPhraseCounts(&included, &all);
    EXPECT_EQ(all, 1);
}

TEST_F(TrayMenuTest, MenuSelectionReachesTheTooltip)
{
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    ASSERT_NE(tip, nullptr);
    ASSERT_NE(tip->GetTipWindow(), nullptr);
    tip->SetDisabled(false);
    ::SendMessageW(m_window->m_hWnd, WM_MENUSELECT, MAKEWPARAM(ID_TRAY_REREAD_PHRASES, MF_STRING),
                   reinterpret_cast<LPARAM>(m_menu));
    EXPECT_EQ(tip->GetCurrentId(), static_cast<UINT>(ID_TRAY_REREAD_PHRASES));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return scvtest::ToolTipShows(tip->GetTipWindow()); }, 5000));
    EXPECT_EQ(scvtest::ToolTipText(tip->GetTipWindow())
                  .rfind(L"Read the phrases from their folder again\r\nFolder with phrases: ", 0),
              0u)
        << "the command's string and the phrases folder";
    // A pop-up item hides it.
    ::SendMessageW(m_window->m_hWnd, WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP),
                   reinterpret_cast<LPARAM>(m_menu));
    EXPECT_EQ(tip->GetCurrentId(), 0u);
    EXPECT_FALSE(scvtest::ToolTipShows(tip->GetTipWindow()));
}

} // namespace
