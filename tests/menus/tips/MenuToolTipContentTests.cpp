// What the tray menu's tooltips say: history items (length, format, source,
// a 150-character preview, a missing item), language items (the file's name
// and prefix, ids outside the list), the tracking report, switch commands with
// their state, and the phrase menu's tips from the items' own records.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Settings.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "menus/tips/MenuTrackerToolTip.h"
#include "menus/tips/TrayHistorySource.h"
#include "support/TempFolder.h"

namespace
{

bool Contains(const CString& text, const wchar_t* part)
{
    return text.Find(part) >= 0;
}

std::string Narrow(const CString& text)
{
    return std::string(text.GetString(), text.GetString() + text.GetLength());
}

class FakeHistory : public ITrayHistorySource
{
public:
    std::vector<TrayHistoryItemInfo> items;

    bool IsCapturing() const override { return true; }
    bool Start(HWND, bool) override { return true; }
    void Stop() override {}
    CString GetErrorText() const override { return CString(); }
    int GetSpyMethod() const override { return 2; }
    int GetCount() const override { return static_cast<int>(items.size()); }
    bool GetItemInfo(int index, TrayHistoryItemInfo& info) const override
    {
        if (index < 0 || index >= GetCount())
            return false;
        info = items[static_cast<size_t>(index)];
        return true;
    }
    CString GetMenuCaption(int) const override { return CString(); }
    bool PutOnClipboard(int) override { return false; }
    bool Clear() override { return false; }
    bool Save() override { return false; }
    void* GetWatcherObject() override { return nullptr; }
    void* GetQueueObject() override { return nullptr; }
};

class FakeContext : public ITrayTipContext
{
public:
    CString GetHotKeyText() override { return L"Ctrl+Alt+Enter"; }
    CString GetOnOffText(bool on) override { return on ? L"ON" : L"OFF"; }
    bool IsAutoStartEnabled() override { return false; }
    bool IsMuteMode() override { return false; }
    CString GetPhrasesFolderText() override { return L"C:\\Phrases"; }
    CString GetLogFilePath() override { return L"C:\\Log.txt"; }
    CString GetSettingsFilePath() override { return L"C:\\Settings.ini"; }
    CString GetCommandUrl(UINT command) override { return command == 32781 ? L"https://site.test/" : L""; }
    CString GetAboutText() override { return L"About"; }
    CString GetMenuCommandText(UINT) override { return L"&Edit"; }
    HICON LoadProgramIcon() override { return nullptr; }
    CString GetPaneItemData(int form) override
    {
        static const wchar_t* const forms[] = {L"item text",
                                               L"<html><!--StartFragment--><b>bold</b><!--EndFragment-->",
                                               L"https://source.test/"};
        return form >= 0 && form < 3 ? forms[form] : L"";
    }
    CString GetPaneSelectionText() override { return L"selected words"; }
};

class TrayTipContentTest : public testing::Test
{
protected:
    FakeHistory m_history;
    FakeContext m_context;
    std::vector<CString> m_languages;
};

TEST_F(TrayTipContentTest, HistoryItemTipShowsLengthFormatSourceAndA150CharacterPreview)
{
    TrayHistoryItemInfo item;
    item.type = 1;
    item.text = CString(L'a', 400);
    item.textLength = 400;
    item.windowTitle = L"Notes";
    item.programName = L"notepad.exe";
    item.captureTime = SYSTEMTIME{2026, 12, 4, 10, 17, 30, 0, 0};
    m_history.items.push_back(item);

    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    CString title;
    const CString tip = client.GetTipStringForClipboardHistory(kTrayHistoryFirstId, title);
    EXPECT_EQ(title, CString(L"Clipboard History Item"));
    EXPECT_TRUE(Contains(tip, L"Text Length: [400]\r\n")) << Narrow(tip);
    EXPECT_TRUE(Contains(tip, L"Data Format: Plain Text\r\n"));
    EXPECT_TRUE(Contains(tip, L"Copied From: [Notes], [notepad.exe]\r\n"));
    const CString preview = L"\r\n\r\n" + CString(L'a', 150) + L"\r\n...\n";
    EXPECT_TRUE(Contains(tip, preview)) << "the preview is cut after 150 characters";
    EXPECT_FALSE(Contains(tip, CString(L'a', 151)));
}

TEST_F(TrayTipContentTest, HistoryTipsOfMissingAndOtherItems)
{
    TrayHistoryItemInfo rtf;
    rtf.type = 2;
    rtf.text = L"bold\r\n\t";
    rtf.textLength = 7;
    TrayHistoryItemInfo bitmap;
    bitmap.type = 4;
    m_history.items = {rtf, bitmap};
    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    CString title;

    const CString missing = client.GetTipStringForClipboardHistory(kTrayHistoryFirstId + 5, title);
    EXPECT_TRUE(Contains(missing, L"Ooops! \x00ABNolvak\x00BB \x00A9")) << Narrow(missing);
    EXPECT_TRUE(Contains(missing, L"Data Format: OOOPS! Unknow format"));
    EXPECT_TRUE(Contains(missing, L"Copied From: I unknow"));

    const CString formatted = client.GetTipStringForClipboardHistory(kTrayHistoryFirstId, title);
    EXPECT_TRUE(Contains(formatted, L"Text Length: [7]")) << "the length counts the trailing line break";
    EXPECT_TRUE(Contains(formatted, L"Formatted Text (RTF)"));
    EXPECT_TRUE(Contains(formatted, L"\r\n\r\nbold\n")) << "trailing line breaks and tabs leave the preview";

    const CString other = client.GetTipStringForClipboardHistory(kTrayHistoryFirstId + 1, title);
    EXPECT_TRUE(Contains(other, L"Ooops! Other data format"));
}

TEST_F(TrayTipContentTest, LanguageTipsNameTheFileAndItsPrefix)
{
    scvtest::TempFolder folder;
    m_languages.push_back(CString(
        folder.WriteUtf16(L"Deutsch.lng", L"[Main]\r\nLangLocalized=Deutsch\r\nLangPrefix=De\r\n").c_str()));
    m_languages.push_back(
        CString(folder.WriteUtf16(L"NoPrefix.lng", L"[Main]\r\nLangLocalized=Nix\r\n").c_str()));
    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    const CString base = L"Choose this language for user interface of Scrivolanter";

    EXPECT_TRUE(Contains(client.GetTipStringForLanguage(kTrayLanguageFirstId), L"\r\n\r\nDeutsch, [De]"));
    EXPECT_TRUE(Contains(client.GetTipStringForLanguage(kTrayLanguageFirstId + 1),
                         L"Nix, [Lang prefix not defined]"));
    // An id beyond the list (a stale or empty list) shows the plain text only.
    EXPECT_EQ(client.GetTipStringForLanguage(kTrayLanguageFirstId + 2), base);
    EXPECT_EQ(client.GetTipStringForLanguage(kTrayLanguageLastId), base);
}

TEST_F(TrayTipContentTest, SwitchCommandsShowTheirStateAndWebCommandsTheirAddress)
{
    CSettings& settings = GetSettings();
    const int sounds = settings.SoundOnEventsV094;
    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    CString title;
    for (int on : {0, 1}) {
        settings.SoundOnEventsV094 = on;
        const CString tip = client.BuildTipText(32817, nullptr, title);
        EXPECT_EQ(tip.Right(on ? 6 : 7), CString(on ? L", [ON]" : L", [OFF]")) << Narrow(tip);
    }
    settings.SoundOnEventsV094 = sounds;
    EXPECT_TRUE(Contains(client.BuildTipText(32781, nullptr, title), L" \x00BB https://site.test/"));
    EXPECT_TRUE(Contains(client.BuildTipText(32815, nullptr, title), L"\x00BB C:\\Log.txt"));
}

TEST_F(TrayTipContentTest, UpdateUndoAndPaneTipsSayWhatTheirCommandsTouch)
{
    CSettings& settings = GetSettings();
    const int automatic = settings.AutoCheckForUpdates;
    SYSTEMTIME previous{};
    settings.GetLastCheckForUpdates(previous);
    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    CString title;

    settings.AutoCheckForUpdates = 1;
    settings.SetLastCheckForUpdates(SYSTEMTIME{2013, 1, 2, 1, 0, 0, 0, 0});
    CString tip = client.BuildTipText(32791, nullptr, title);
    EXPECT_TRUE(Contains(tip, L"Last Check For Updates: never")) << Narrow(tip);
    EXPECT_TRUE(Contains(tip, L"Check for updates automatically: ON"));
    CString days;
    days.Format(L"Check every days: %d (days)", settings.GetDaysCheckForUpdates());
    EXPECT_TRUE(Contains(tip, days)) << Narrow(tip);
    EXPECT_TRUE(Contains(tip, L"Next Check: "));
    settings.SetLastCheckForUpdates(SYSTEMTIME{2026, 3, 0, 1, 12, 0, 0, 0});
    tip = client.BuildTipText(32791, nullptr, title);
    EXPECT_FALSE(Contains(tip, L"never")) << Narrow(tip);
    settings.AutoCheckForUpdates = 0;
    EXPECT_FALSE(Contains(client.BuildTipText(32791, nullptr, title), L"Next Check"));
    settings.AutoCheckForUpdates = automatic;
    settings.SetLastCheckForUpdates(previous);

    for (UINT id : {32789u, 32796u})
        EXPECT_TRUE(Contains(client.BuildTipText(id, nullptr, title), L"by menu command \"Undo\"")) << id;
    EXPECT_TRUE(Contains(client.BuildTipText(32813, nullptr, title),
                         L"But clipboard data will be available in the float pane"));
    // The pane's item commands preview what they act on; HTML only its fragment.
    EXPECT_TRUE(Contains(client.BuildTipText(32797, nullptr, title), L"\nitem text"));
    const CString html = client.BuildTipText(32851, nullptr, title);
    EXPECT_TRUE(Contains(html, L"\n<b>bold</b>")) << Narrow(html);
    EXPECT_FALSE(Contains(html, L"StartFragment"));
    EXPECT_TRUE(Contains(client.BuildTipText(32848, nullptr, title), L"https://source.test/"));
    EXPECT_TRUE(Contains(client.BuildTipText(32840, nullptr, title), L"\nselected words"));
    // The log archive names both files and the settings' section.
    const CString zip = client.BuildTipText(259, nullptr, title);
    EXPECT_TRUE(Contains(zip, L"\n\n  C:\\Log.txt\n  C:\\Settings.ini, [Settings]")) << Narrow(zip);
}

TEST_F(TrayTipContentTest, TrackingReportNamesStateMethodAndMaximum)
{
    CMenuToolTipSCVClient client(nullptr, &m_languages, &m_history, &m_context);
    client.SetClipboardTrackingState(1, L"window refused");
    const CString report = client.GetClipboardTrackingReport();
    CString max;
    max.Format(L" [max = %d]\nConnection Error!!!\nwindow refused\nMethod: using AddClipboardListener",
               GetSettings().GetClipboardHistoryMax());
    EXPECT_TRUE(report.Find(max) == 0) << Narrow(report);
    EXPECT_TRUE(Contains(report, L"\nGetClipboardSequenceNumber: "));
    client.SetClipboardTrackingState(2, CString());
    EXPECT_TRUE(Contains(client.GetClipboardTrackingReport(), L"]\nNo\nMethod: "));
}

TEST(TrackerTipContent, PhraseItemsShowTheirRecordAndTheRightClickHint)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_OWNERDRAW, 5001, nullptr);
    auto record = std::make_unique<MenuItemDrawInfo>(L"Greeting", 0, 5001);
    record->SetToolTipText(L"Hello, world");
    ASSERT_TRUE(AttachMenuItemDrawInfo(menu, 5001, false, std::move(record)));

    CMenuTrackerToolTip tip;
    CString title;
    const CString text = tip.BuildTipText(5001, menu, title);
    EXPECT_EQ(title, CString(L"Greeting"));
    EXPECT_EQ(text.Find(L"Hello, world"), 0) << Narrow(text);
    EXPECT_TRUE(Contains(text, L"Right click here for menu"));
    FreeMenuItemDrawInfos(menu);
    ::DestroyMenu(menu);
}

} // namespace
