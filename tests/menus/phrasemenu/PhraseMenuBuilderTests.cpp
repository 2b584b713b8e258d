// test-locks: desktop
// test-sources: ../../../menus/phrasemenu/PhraseMenuBuilder.rc ../../../menus/phrasemenu/PopupMenu.rc ../../../engine/EngineDialogs.rc
// The phrase pop-up menu builder: the menu it makes for a query (last used items, phrases and
// folders, clipboard history with its captions and sub-menus, program commands, the empty and
// elevated cases) read back item by item without showing it; the records of the items; faults
// inside building caught and reported while the menu carries on; the choice posted to the main
// window, with the menu shown for real and driven with keys; folder sub-menus filled only when
// they open.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/menus/phrasemenu/FakeMenuHistory.h"
#include "platform/interchange/InterchangeArea.h"
#include "engine/SVQuery.h"
#include "common/Settings.h"
#include "engine/MacroEnvironment.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseStore.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuTrackerWindow.h"
#include "menus/phrasemenu/PhraseMenuHost.h"
#include "support/DialogWatchdog.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace
{
constexpr UINT kChoiceMessage = WM_APP + 12;
constexpr UINT kHideToolTipMessage = WM_APP + 17;
constexpr UINT kRightMenuMessage = WM_APP + 21;
constexpr UINT kShowFloatPaneMessage = WM_APP + 32;
const LANGID kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);

std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}
std::wstring Dashes()
{
    return std::wstring(12, L'\x2014');
}

HKL LayoutOf(LANGID language)
{
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(MAKELONG(language, language)));
}

// No clipboard, a fixed clock, an English and a Russian layout.
class FixedEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override { return SYSTEMTIME{2026, 3, 4, 5, 14, 5, 9, 0}; }
    std::vector<HKL> GetKeyboardLayouts() const override { return {LayoutOf(0x0409), LayoutOf(kRussian)}; }
    CString ReadClipboardText() const override { return L""; }
};

class FakeHost : public IPhraseMenuHost
{
public:
    bool IsElevated() override
    {
        if (faultInElevated) {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        if (throwInElevated)
            throw std::runtime_error("elevation");
        return elevated;
    }
    void CloseOwnDialogs() override { ++dialogsClosed; }
    CString GetTargetWindowTitle(const SVQuery& query) override
    {
        ++titleRequests;
        return CString(L"Title of ") + query.WindowClassName;
    }
    CString FormatCharsCountText(int count) override
    {
        CString text;
        text.Format(L"Chars: %d", count);
        return text;
    }
    CString LocalizedTextBefore(UINT) override { return L"Run a second copy with more rights"; }
    CString LocalizedTextAfter(UINT) override { return L"Run As Administrator"; }

    bool elevated = true;
    bool faultInElevated = false;
    bool throwInElevated = false;
    int dialogsClosed = 0;
    int titleRequests = 0;
};

// A message-only window standing in for the tray window: records the messages it gets.
class MainWindow
{
public:
    struct Message
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    MainWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PhraseMenuBuilderTestsMain";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     wc.hInstance, this);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MainWindow() { ::DestroyWindow(m_window); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return m_window; }
    std::vector<Message> Take(UINT message)
    {
        scvtest::PumpFor(20);
        std::vector<Message> found;
        std::vector<Message> rest;
        for (const Message& m : m_messages)
            (m.message == message ? found : rest).push_back(m);
        m_messages = rest;
        return found;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && (message >= WM_APP || message == WM_COMMAND)) {
            self->m_messages.push_back({message, wParam, lParam});
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<Message> m_messages;
};

// The menu settings, as each test starts: no program commands, history in the menu without a
// limit and not as a sub-menu, last used items first, no menu tooltips. Put back at the end.
class MenuSettingsScope
{
public:
    MenuSettingsScope() : m_saved(Snapshot())
    {
        CSettings& s = GetSettings();
        for (int& flag : s.ExtMenuCommand)
            flag = 0;
        s.InsertCHIntoMenu = 1;
        s.MaxHistoryItemsInMenu = 0;
        s.AppendCHAsSubMenu_ForV140 = 0;
        s.AddLastUsedMenuToBegin = 1;
        s.AddLastUsedMenuToBegin_Count = 5;
        s.MenuToolTips_V0_94_A22 = 0;
    }
    ~MenuSettingsScope()
    {
        CSettings& s = GetSettings();
        for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
            s.ExtMenuCommand[i] = m_saved.ext[i];
        s.InsertCHIntoMenu = m_saved.insertHistory;
        s.MaxHistoryItemsInMenu = m_saved.maxHistory;
        s.AppendCHAsSubMenu_ForV140 = m_saved.historySubMenu;
        s.AddLastUsedMenuToBegin = m_saved.lastUsed;
        s.AddLastUsedMenuToBegin_Count = m_saved.lastUsedCount;
        s.MenuToolTips_V0_94_A22 = m_saved.toolTips;
    }
    MenuSettingsScope(const MenuSettingsScope&) = delete;
    MenuSettingsScope& operator=(const MenuSettingsScope&) = delete;

private:
    struct Saved
    {
        int ext[CSettings::ExtMenuCommandCount];
        int insertHistory, maxHistory, historySubMenu, lastUsed, lastUsedCount, toolTips;
    };
    static Saved Snapshot()
    {
        const CSettings& s = GetSettings();
        Saved saved{};
        for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
            saved.ext[i] = s.ExtMenuCommand[i];
        saved.insertHistory = s.InsertCHIntoMenu;
        saved.maxHistory = s.MaxHistoryItemsInMenu;
        saved.historySubMenu = s.AppendCHAsSubMenu_ForV140;
        saved.lastUsed = s.AddLastUsedMenuToBegin;
        saved.lastUsedCount = s.AddLastUsedMenuToBegin_Count;
        saved.toolTips = s.MenuToolTips_V0_94_A22;
        return saved;
    }
    Saved m_saved;
};

PhraseItemRecord Phrase(int id, const wchar_t* title, const wchar_t* body = L"some text", int dataType = 0)
{
    PhraseItemRecord record;
    record.id = id;
    record.SetTitle(title);
    record.body = body;
    record.dataType = dataType;
    return record;
}

PhraseItemRecord Folder(int id, const wchar_t* title, std::vector<PhraseItemRecord> children)
{
    PhraseItemRecord record;
    record.id = id;
    record.SetTitle(title);
    for (PhraseItemRecord& child : children)
        record.MakeFolder().push_back(std::move(child));
    record.MakeFolder();
    return record;
}

// The menu item by item: "<id> <text>" (" (grayed)" when grayed), "---" or "--- <caption>" for a
// separator, "> <text>" for a sub-menu followed by its items indented by two blanks.
void DumpMenu(HMENU menu, const std::wstring& indent, std::vector<std::wstring>& rows)
{
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const MenuItemDrawInfo* info = GetMenuItemDrawInfoByPosition(menu, position);
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        std::wstring row = indent;
        if (!info) {
            row += L"(no record)";
        } else if (HMENU sub = ::GetSubMenu(menu, position)) {
            rows.push_back(row + L"> " + info->text);
            DumpMenu(sub, indent + L"  ", rows);
            continue;
        } else if (info->IsSeparator()) {
            row += info->rightText[0] ? std::wstring(L"--- ") + info->rightText : std::wstring(L"---");
        } else {
            row += std::to_wstring(::GetMenuItemID(menu, position)) + L" " + info->text;
        }
        if ((state & MF_GRAYED) && !(state & MF_SEPARATOR))
            row += L" (grayed)";
        rows.push_back(row);
    }
}

std::vector<std::wstring> Dump(HMENU menu)
{
    std::vector<std::wstring> rows;
    if (menu)
        DumpMenu(menu, L"", rows);
    return rows;
}

// Owns a built menu: frees its records and destroys it.
struct BuiltMenu
{
    explicit BuiltMenu(HMENU m) : menu(m) {}
    ~BuiltMenu()
    {
        if (menu) {
            IDataNeededHander_MenuSelf::CleanupMenu(menu);
            ::DestroyMenu(menu);
        }
    }
    BuiltMenu(const BuiltMenu&) = delete;
    BuiltMenu& operator=(const BuiltMenu&) = delete;
    HMENU menu;
};

class PhraseMenuBuilder : public testing::Test
{
protected:
    PhraseMenuBuilder() : builder(main.Handle(), kChoiceMessage, &store, nullptr, &host) {}

    // The menu for the query as the builder shows it, with the target information stored first.
    std::vector<std::wstring> Build(const PhraseMenuQuery& query)
    {
        builder.SetTargetInfo(query.languageId, query.selectedText, query.target);
        BuiltMenu built(builder.MakeMenu(query, store.GetItems()));
        return Dump(built.menu);
    }
    std::vector<std::wstring> Build() { return Build(PhraseMenuQuery()); }

    FixedEnvironment environment;
    CMacroEnvironmentOverride useEnvironment{environment};
    MenuSettingsScope settings;
    MainWindow main;
    FakeHost host;
    CPhraseStore store;
    IDataNeededHander_MenuSelf builder;
};

using Rows = std::vector<std::wstring>;

} // namespace

TEST_F(PhraseMenuBuilder, LastUsedItemsFolderAndPhrases)
{
    PhraseItemRecord beta = Phrase(2, L"Beta");
    beta.disabledIsNoHasSelection = 1;
    PhraseItemRecord excluded = Phrase(21, L"Excluded");
    excluded.included = 0;
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    store.GetItems().push_back(std::move(beta));
    store.GetItems().push_back(Phrase(3, L"Gamma"));
    store.GetItems().push_back(Folder(10, L"Letters", {Phrase(11, L"Kappa"), Phrase(12, L"Lambda")}));
    store.GetItems().push_back(Folder(20, L"Hidden", {std::move(excluded)}));
    store.GetItems().push_back(Folder(30, L"Empty", {}));
    builder.SetLastID(3);
    builder.SetLastID(11); // last used: 11, then 3

    EXPECT_EQ(Build(), (Rows{
                           L"11 Kappa",
                           L"3 Gamma",
                           L"--- Other commands",
                           L"1 Alpha",
                           L"2 Beta (grayed)",
                           L"---",
                           L"> Letters",
                           L"  11 Kappa",
                           L"  12 Lambda",
                       }));

    // With a selection Beta can be chosen; without last used items first the list starts plainly.
    PhraseMenuQuery withSelection;
    withSelection.selectedText = L"abc";
    EXPECT_EQ(Build(withSelection)[4], L"2 Beta");
    GetSettings().AddLastUsedMenuToBegin = 0;
    EXPECT_EQ(Build(), (Rows{L"1 Alpha", L"2 Beta (grayed)", L"3 Gamma", L"---", L"> Letters", L"  11 Kappa",
                             L"  12 Lambda"}));
}

TEST_F(PhraseMenuBuilder, RecordsOfLastUsedPhraseAndFolderItems)
{
    store.GetItems().push_back(Phrase(1, L"Alpha", L"a%CURSOR_POS%b"));
    store.GetItems().push_back(Phrase(2, L"Switch", L"%ACTIVATE_KL_RU%privet", 2));
    store.GetItems().push_back(Phrase(3, L"Gamma"));
    store.GetItems().push_back(
        Folder(10, L"Letters", {Phrase(11, L"Kappa"), Phrase(12, L"Lambda", L"x", 1)}));
    builder.SetLastID(1);
    builder.SetLastID(11);
    builder.SetTargetInfo(0x0409, L"", nullptr);
    BuiltMenu built(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()));
    ASSERT_NE(built.menu, nullptr);

    const MenuItemDrawInfo* first = GetMenuItemDrawInfoByPosition(built.menu, 0);  // 11, last used
    const MenuItemDrawInfo* second = GetMenuItemDrawInfoByPosition(built.menu, 1); // 1, last used
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->commandId, 11);
    EXPECT_EQ(first->number, 0);
    EXPECT_EQ(first->defaultMark, 1);
    EXPECT_EQ(second->commandId, 1);
    EXPECT_EQ(second->number, 1);
    EXPECT_EQ(second->defaultMark, 0);
    EXPECT_EQ(second->caretOffset, 1);
    EXPECT_STREQ(second->commandText, L"a%CURSOR_POS%b");
    EXPECT_NE(W(second->toolTipText).find(L"Alpha"), std::wstring::npos);

    // Phrases: rows count from 0, the badge of the layout switch, the data type.
    const MenuItemDrawInfo* sw = GetMenuItemDrawInfo(built.menu, 2);
    const MenuItemDrawInfo* gamma = GetMenuItemDrawInfo(built.menu, 3);
    ASSERT_TRUE(sw && gamma);
    EXPECT_EQ(sw->row, 0);
    EXPECT_EQ(gamma->row, 1);
    EXPECT_STREQ(sw->rightText, L"+RU");
    EXPECT_STREQ(gamma->rightText, L"");
    EXPECT_EQ(sw->dataType, 2);
    EXPECT_EQ(sw->number, -1);
    EXPECT_EQ(gamma->defaultMark, 0);

    // The folder holds the last used phrase: it and that phrase inside it are marked.
    const int folderPosition = ::GetMenuItemCount(built.menu) - 1;
    HMENU letters = ::GetSubMenu(built.menu, folderPosition);
    const MenuItemDrawInfo* folder = GetMenuItemDrawInfoByPosition(built.menu, folderPosition);
    ASSERT_TRUE(letters && folder);
    EXPECT_TRUE(folder->IsSubMenu());
    EXPECT_EQ(folder->defaultMark, 1);
    EXPECT_EQ(GetMenuItemDrawInfo(letters, 11)->defaultMark, 1);
    EXPECT_EQ(GetMenuItemDrawInfo(letters, 11)->row, 0);
    EXPECT_EQ(GetMenuItemDrawInfo(letters, 12)->defaultMark, 0);
    EXPECT_EQ(GetMenuItemDrawInfo(letters, 12)->dataType, 1);
}

TEST_F(PhraseMenuBuilder, SeparatorsOfPhrasesAndFolders)
{
    PhraseItemRecord first = Phrase(1, L"First");
    first.flagsMenu = PhraseItemRecord::kSeparatorBefore | PhraseItemRecord::kSeparatorAfter;
    PhraseItemRecord second = Phrase(2, L"Second");
    second.flagsMenu = PhraseItemRecord::kSeparatorBefore | PhraseItemRecord::kSeparatorAfter;
    PhraseItemRecord folder = Folder(10, L"Folder", {Phrase(11, L"Inner")});
    folder.flagsMenu = PhraseItemRecord::kSeparatorAfter;
    store.GetItems().push_back(std::move(first));
    store.GetItems().push_back(std::move(second));
    store.GetItems().push_back(std::move(folder));
    store.GetItems().push_back(Folder(20, L"Other", {Phrase(21, L"Deep")}));

    // Never a separator at the top, never two in a row, the one before the folders only once.
    EXPECT_EQ(Build(), (Rows{L"1 First", L"---", L"2 Second", L"---", L"> Folder", L"  11 Inner", L"---",
                             L"> Other", L"  21 Deep"}));

    // Only folders: no separator before them.
    store.GetItems().erase(store.GetItems().begin(), store.GetItems().begin() + 2);
    EXPECT_EQ(Build(), (Rows{L"> Folder", L"  11 Inner", L"---", L"> Other", L"  21 Deep"}));
}

TEST_F(PhraseMenuBuilder, MissingLastUsedPhraseIsDroppedWithoutABox)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    store.GetItems().push_back(Folder(10, L"Letters", {Phrase(11, L"Kappa")}));
    builder.SetLastID(1);
    builder.SetLastID(10); // a folder is not a phrase
    builder.SetLastID(77); // gone

    EXPECT_EQ(Build(), (Rows{L"1 Alpha", L"--- Other commands", L"> Letters", L"  11 Kappa"}));
    EXPECT_TRUE(scvtest::DialogWatchdog::TakeClosedTexts().empty());
    EXPECT_EQ(builder.GetLastUsedIds(), std::vector<int>{1});
}

// The editor saves, a file is added, one is deleted: the reload gives new ids, and the last used
// items still name the same phrases; the deleted one is gone from the list.
TEST_F(PhraseMenuBuilder, LastUsedItemsFollowTheirFilesAcrossAReload)
{
    scvtest::TempFolder temp;
    auto write = [&](const wchar_t* name, const char* title) {
        PhraseItemRecord record;
        record.SetTitle(CString(title));
        record.body = L"body";
        ASSERT_TRUE(SavePhraseFile(record, temp.PathOf(name).c_str()));
    };
    write(L"b.scrivolanter", "Beta");
    write(L"c.scrivolanter", "Gamma");
    write(L"d.scrivolanter", "Delta");
    store.Load(temp.Path().c_str());
    auto idOf = [&](const wchar_t* title) {
        for (const PhraseItemRecord& record : store.GetItems()) {
            if (wcscmp(record.title, title) == 0)
                return record.id;
        }
        return -1;
    };
    builder.SetLastID(idOf(L"Delta"));
    builder.SetLastID(idOf(L"Gamma"));
    builder.SetLastID(idOf(L"Beta")); // newest first: Beta, Gamma, Delta
    const std::vector<int> before = builder.GetLastUsedIds();

    const IDataNeededHander::LastUsedPaths saved = builder.SaveLastUsedPaths();
    write(L"a.scrivolanter", "Alpha"); // listed first: every id moves
    ASSERT_TRUE(DeleteFileW(temp.PathOf(L"c.scrivolanter").c_str()));
    store.Clear();
    store.Load(temp.Path().c_str());
    builder.RestoreLastUsedPaths(saved);

    EXPECT_NE(builder.GetLastUsedIds(), before);
    EXPECT_EQ(builder.GetLastUsedIds(), (std::vector<int>{idOf(L"Beta"), idOf(L"Delta")}));
    EXPECT_EQ(builder.GetLastUsedId(), idOf(L"Beta"));
    const Rows rows = Build();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], std::to_wstring(idOf(L"Beta")) + L" Beta");
    EXPECT_EQ(rows[1], std::to_wstring(idOf(L"Delta")) + L" Delta");
}

TEST_F(PhraseMenuBuilder, HistoryCaptionsAndSubMenus)
{
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    struct Case
    {
        const char* label;
        int count;
        int limit;
        int subMenu;
        Rows rows;
    };
    auto items = [](int from, int to, const wchar_t* indent) {
        Rows rows;
        for (int i = from; i <= to; ++i)
            rows.push_back(indent + std::to_wstring(2000 + i) + L" item " + std::to_wstring(i + 1));
        return rows;
    };
    auto join = [](std::initializer_list<Rows> parts) {
        Rows all;
        for (const Rows& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const Case cases[] = {
        {"three", 3, 0, 0, join({{L"1 Alpha", L"--- Clipboard [3/3]"}, items(0, 2, L"")})},
        {"fifteen", 15, 0, 0, join({{L"1 Alpha", L"--- Clipboard [15/15]"}, items(0, 14, L"")})},
        {"twenty", 20, 0, 0,
         join({{L"1 Alpha", L"--- Clipboard [20/20]"},
               items(0, 14, L""),
               {L"> More History [16 - 20]"},
               items(15, 19, L"  ")})},
        {"limit 5 of 30", 30, 5, 0, join({{L"1 Alpha", L"--- Clipboard [5/30]"}, items(0, 4, L"")})},
        {"limit 18 of 30", 30, 18, 0,
         join({{L"1 Alpha", L"--- Clipboard [18/30]"},
               items(0, 14, L""),
               {L"> More History [16 - 18]"},
               items(15, 17, L"  ")})},
        {"sub-menu", 20, 0, 1,
         join({{L"1 Alpha", L"--- Clipboard [20/20]", L"> Clipboard History [20]"}, items(0, 19, L"  ")})},
        {"sub-menu, limit", 40, 15, 1,
         join(
             {{L"1 Alpha", L"--- Clipboard [15/40]", L"> Clipboard History [15\\40]"}, items(0, 14, L"  ")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto history = FakeHistory::WithTextItems(c.count);
        builder.SetHistory(history.get());
        GetSettings().MaxHistoryItemsInMenu = c.limit;
        GetSettings().AppendCHAsSubMenu_ForV140 = c.subMenu;
        EXPECT_EQ(Build(), c.rows);
    }
    builder.SetHistory(nullptr);
}

TEST_F(PhraseMenuBuilder, HistoryAloneAndHistoryOff)
{
    FakeHistory history;
    history.items.push_back(FakeHistoryItem::Unicode(L"first"));
    history.items.push_back(nullptr); // an index without an item
    history.items.push_back(FakeHistoryItem::Unicode(L"third"));
    builder.SetHistory(&history);

    // No caption separator at the top of an otherwise empty menu; a gap leaves its id out.
    EXPECT_EQ(Build(), (Rows{L"2000 first", L"2002 third"}));

    GetSettings().InsertCHIntoMenu = 0;
    EXPECT_TRUE(Build().empty());
    builder.SetHistory(nullptr);
}

TEST_F(PhraseMenuBuilder, HistoryItemRecordsTipsAndCachedTexts)
{
    FakeHistory history;
    history.items.push_back(FakeHistoryItem::Unicode(
        L"line 1\nline 2\nline 3\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9\nline 10"));
    history.items.back()->url = L"http://example.test/page";
    history.items.push_back(FakeHistoryItem::Narrow(kHistoryRtf, "{\\rtf1\\ansi rich words}"));
    history.items.back()->menuLine = L"rich words";
    history.items.push_back(std::make_unique<FakeHistoryItem>(kHistoryBitmap, ""));
    history.items.back()->menuLine = L"Bitmap";
    history.items.push_back(std::make_unique<FakeHistoryItem>(kHistoryDocument, "doc"));
    history.items.back()->menuLine = L"Document";
    history.items.back()->documentDescription = L"A document from somewhere";
    const std::wstring longLine(100, L'w');
    history.items.push_back(FakeHistoryItem::Unicode(longLine));
    builder.SetHistory(&history);

    BuiltMenu built(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()));
    ASSERT_NE(built.menu, nullptr);

    const MenuItemDrawInfo* text = GetMenuItemDrawInfo(built.menu, 2000);
    const MenuItemDrawInfo* rtf = GetMenuItemDrawInfo(built.menu, 2001);
    const MenuItemDrawInfo* bitmap = GetMenuItemDrawInfo(built.menu, 2002);
    const MenuItemDrawInfo* document = GetMenuItemDrawInfo(built.menu, 2003);
    const MenuItemDrawInfo* longOne = GetMenuItemDrawInfo(built.menu, 2004);
    ASSERT_TRUE(text && rtf && bitmap && document && longOne);

    for (const MenuItemDrawInfo* info : {text, rtf, bitmap, document, longOne})
        EXPECT_EQ(info->historyStyle, 1);
    EXPECT_EQ(text->row, 0);
    EXPECT_EQ(longOne->row, 4);
    EXPECT_EQ(text->dataType, 0);
    EXPECT_EQ(rtf->dataType, 1);
    EXPECT_EQ(bitmap->bitmapFlag, 1);
    EXPECT_EQ(document->documentFlag, 1);
    EXPECT_EQ(text->bitmapFlag + text->documentFlag, 0);

    // A long line is shortened for the menu; the preview keeps it whole.
    EXPECT_LT(std::wstring(longOne->text).size(), 70u);
    EXPECT_NE(std::wstring(longOne->text).find(L'\x2026'), std::wstring::npos);
    EXPECT_EQ(W(longOne->preview), longLine);

    // Text tip: the address first, the kind line, counts, first and last lines only.
    const std::wstring tip = W(text->toolTipText);
    EXPECT_EQ(tip.rfind(L"    URL: http://example.test/page\n\nInsert plain text: Data from clipboard "
                        L"history\n    Chars: 70",
                        0),
              0u)
        << tip;
    EXPECT_NE(tip.find(L", Lines: 10"), std::wstring::npos) << "the lines label, never a bare colon";
    EXPECT_NE(tip.find(L"line 1"), std::wstring::npos);
    EXPECT_NE(tip.find(L"line 10"), std::wstring::npos);
    EXPECT_EQ(tip.find(L"line 5"), std::wstring::npos);
    EXPECT_EQ(W(rtf->toolTipText).rfind(L"Insert formatted text: Data from clipboard history", 0), 0u);
    EXPECT_EQ(W(bitmap->toolTipText), L"Insert plain text: Data from clipboard history\n    Chars: 0");
    const std::wstring documentTip = W(document->toolTipText);
    EXPECT_EQ(documentTip.rfind(L"Insert Ovelline document: Data from clipboard history\n\n", 0), 0u)
        << documentTip;
    EXPECT_NE(documentTip.find(L"A document from somewhere"), std::wstring::npos);
    EXPECT_EQ(documentTip.find(L"Chars"), std::wstring::npos);

    // Captions and tips are built once and cached in the items.
    BuiltMenu again(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()));
    for (const auto& item : history.items) {
        EXPECT_EQ(item->menuTextStores, 1);
        EXPECT_EQ(item->tipTextStores, 1);
    }
    EXPECT_EQ(W(GetMenuItemDrawInfo(again.menu, 2000)->toolTipText), tip);
    builder.SetHistory(nullptr);
}

TEST_F(PhraseMenuBuilder, ProgramCommands)
{
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    for (int& flag : GetSettings().ExtMenuCommand)
        flag = 1;
    host.elevated = false;

    SVQuery svQuery;
    svQuery.WindowClassName = L"Notepad";
    svQuery.SelText = L"Hello world";
    svQuery.StateSelText = kSelTextStateExtracted;
    const PhraseMenuQuery withSelection = builder.MakeMenuQuery(svQuery);
    const Rows rows = Build(withSelection);
    EXPECT_EQ(rows, (Rows{L"1 Alpha", L"---", L"32772 Edit menu\\settings",
                          L"32826 Selection into Phrase [Hello world]", L"32792 Show Float Pane",
                          L"--- Visit to us", L"32784 Technical Support", L"32829 Run As Administrator"}));
    EXPECT_EQ(host.titleRequests, 1);

    {
        BuiltMenu built(builder.MakeMenu(withSelection, store.GetItems()));
        const std::wstring selectionTip = W(GetMenuItemDrawInfo(built.menu, 32826)->toolTipText);
        EXPECT_EQ(selectionTip, L"Add selected text as new phrase\n" + Dashes() +
                                    L"\n      Copied From \x00ABTitle of Notepad\x00BB\n" + Dashes() +
                                    L"\nHello world");
        EXPECT_EQ(W(GetMenuItemDrawInfo(built.menu, 32829)->toolTipText),
                  L"Run a second copy with more rights");
        EXPECT_EQ(W(GetMenuItemDrawInfo(built.menu, 32772)->toolTipText),
                  L"You can change this menu, phrases and settings here");
        EXPECT_EQ(W(GetMenuItemDrawInfo(built.menu, 32792)->toolTipText)
                      .rfind(L"Show Float Pane\n" + Dashes() +
                                 L"\nShow float panel with clipboard history\n\n     \x00BB ",
                             0),
                  0u);
        for (UINT id : {32772u, 32826u, 32792u, 32784u, 32829u})
            EXPECT_EQ(GetMenuItemDrawInfo(built.menu, id)->dataType, 0);
    }

    // No selection: the item is grayed, its tip has no source, the title is not asked for.
    host.titleRequests = 0;
    const Rows plain = Build();
    EXPECT_EQ(plain[3], L"32826 Selection into Phrase (grayed)");
    EXPECT_EQ(host.titleRequests, 0);

    // Support alone gets no caption; elevated there is no "Run As Administrator".
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__EditSetting] = 0;
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__SaveSelAsPhrase] = 0;
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__ShowFloatPane] = 0;
    host.elevated = true;
    EXPECT_EQ(Build(), (Rows{L"1 Alpha", L"---", L"32784 Technical Support"}));

    // Nothing to add: no separator is left at the end.
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__SUPPORT] = 0;
    EXPECT_EQ(Build(), (Rows{L"1 Alpha"}));
}

TEST_F(PhraseMenuBuilder, LongSelectionIsShortenedInCaptionAndTip)
{
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__SaveSelAsPhrase] = 1;
    PhraseMenuQuery query;
    query.selectedText = CString(std::wstring(5000, L's').c_str());
    builder.SetTargetInfo(0, query.selectedText, nullptr);
    BuiltMenu built(builder.MakeMenu(query, store.GetItems()));
    const MenuItemDrawInfo* info = GetMenuItemDrawInfo(built.menu, 32826);
    ASSERT_NE(info, nullptr);
    const std::wstring caption = info->text;
    EXPECT_EQ(caption.rfind(L"Selection into Phrase [", 0), 0u);
    EXPECT_LT(caption.size(), 80u);
    EXPECT_EQ(caption.back(), L']');
    EXPECT_GT(info->toolTipText.GetLength(), 1000);
    EXPECT_LT(info->toolTipText.GetLength(), 1200);
}

TEST_F(PhraseMenuBuilder, EmptyAndElevatedGivesNoMenuAndPostsCleanUp)
{
    FakeHistory history;
    builder.SetHistory(&history);
    EXPECT_EQ(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()), nullptr);

    PhraseMenuQuery query;
    query.target = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x12345));
    EXPECT_EQ(builder.RunMenuRequest(query), -1);
    const auto posted = main.Take(kChoiceMessage);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(static_cast<int>(posted[0].wParam), -1);
    EXPECT_EQ(posted[0].lParam, 0x12345);
    EXPECT_EQ(host.dialogsClosed, 1);
    EXPECT_EQ(history.lockChanges, 2);
    EXPECT_FALSE(history.locked);
    EXPECT_FALSE(builder.IsMenuAlive());

    // The program commands alone make a menu (the way to the editor with an empty library).
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__EditSetting] = 1;
    EXPECT_EQ(Build(), (Rows{L"32772 Edit menu\\settings"}));
    host.elevated = false;
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__EditSetting] = 0;
    EXPECT_EQ(Build(), (Rows{L"32829 Run As Administrator"}));
    builder.SetHistory(nullptr);
}

TEST_F(PhraseMenuBuilder, FaultsWhileBuildingAreReportedAndTheMenuCarriesOn)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    GetSettings().ExtMenuCommand[CSettings::ExtMenuCommand__SUPPORT] = 1;

    // A history item that faults: the history part stops, the rest of the menu is built.
    FakeHistory history;
    history.items.push_back(FakeHistoryItem::Unicode(L"fine"));
    history.items.push_back(FakeHistoryItem::Unicode(L"broken"));
    history.items.back()->faultOnRead = true;
    builder.SetHistory(&history);
    EXPECT_EQ(Build(),
              (Rows{L"1 Alpha", L"--- Clipboard [2/2]", L"2000 fine", L"---", L"32784 Technical Support"}));
    auto texts = scvtest::DialogWatchdog::TakeClosedTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"ERROR: Exception in IDataNeededHander_MenuSelf::AddClipboardHistoryIntoMenu "
                            L"GetExceptionCode=3221225477 status=[EXCEPTION_ACCESS_VIOLATION]"),
              std::wstring::npos)
        << texts[0];
    builder.SetHistory(nullptr);

    // A fault outside the history part: no menu, and the request posts the clean-up command.
    host.faultInElevated = true;
    EXPECT_EQ(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()), nullptr);
    EXPECT_EQ(builder.RunMenuRequest(PhraseMenuQuery()), -1);
    EXPECT_EQ(main.Take(kChoiceMessage).size(), 1u);
    texts = scvtest::DialogWatchdog::TakeClosedTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(
        texts[0].find(L"ERROR: Exception in IDataNeededHander_MenuSelf::MakeMenu GetExceptionCode=3221225477 "
                      L"status=[EXCEPTION_ACCESS_VIOLATION]"),
        std::wstring::npos)
        << texts[0];

    // A C++ exception is caught the same way.
    host.faultInElevated = false;
    host.throwInElevated = true;
    EXPECT_EQ(builder.MakeMenu(PhraseMenuQuery(), store.GetItems()), nullptr);
    texts = scvtest::DialogWatchdog::TakeClosedTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"MakeMenu GetExceptionCode=3765269347 status=[Not found]"), std::wstring::npos)
        << texts[0];
}

TEST_F(PhraseMenuBuilder, ChoiceOfProgramCommands)
{
    struct Case
    {
        int chosen;
        int result;
        UINT message; // what the main window gets, 0 nothing
    };
    const Case cases[] = {
        {32829, 0, WM_COMMAND}, {32792, 0, kShowFloatPaneMessage},
        {32772, -2, 0},         {32826, -4, 0},
        {32784, -6, 0},         {17, 17, 0},
        {2003, 2003, 0},        {0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(builder.DecideChoice(c.chosen), c.result);
        const auto commands = main.Take(WM_COMMAND);
        const auto floatPane = main.Take(kShowFloatPaneMessage);
        EXPECT_EQ(commands.size(), c.message == WM_COMMAND ? 1u : 0u);
        EXPECT_EQ(floatPane.size(), c.message == kShowFloatPaneMessage ? 1u : 0u);
        if (!commands.empty()) {
            EXPECT_EQ(commands[0].wParam, 32829u);
        }
    }

    // A right-click choice goes to the main window as WM_APP+21 (action, id).
    builder.OnRightMenuCommand(2001, 5);
    const auto right = main.Take(kRightMenuMessage);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].wParam, 5u);
    EXPECT_EQ(right[0].lParam, 2001);
}

TEST_F(PhraseMenuBuilder, QueryFromTheTargetDescription)
{
    SVQuery svQuery;
    svQuery.Hwnd = main.Handle();
    svQuery.ThreadInfo.hwndFocus = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x42));
    svQuery.Hkl = LayoutOf(kRussian);
    svQuery.POINT_X = 10;
    svQuery.POINT_Y = 20;
    svQuery.WindowClassName = L"Edit";
    svQuery.SelText = L"picked";
    const struct
    {
        int state;
        const wchar_t* selected;
    } states[] = {{kSelTextStateNone, L""},
                  {kSelTextStateMissing, L""},
                  {kSelTextStateFailed, L"picked"},
                  {kSelTextStateExtracted, L"picked"}};
    for (const auto& s : states) {
        svQuery.StateSelText = s.state;
        const PhraseMenuQuery query = builder.MakeMenuQuery(svQuery);
        EXPECT_EQ(W(query.selectedText), s.selected) << s.state;
        EXPECT_EQ(query.target, main.Handle());
        EXPECT_EQ(query.focus, svQuery.ThreadInfo.hwndFocus);
        EXPECT_EQ(query.languageId, kRussian);
        EXPECT_EQ(query.pointX, 10);
        EXPECT_EQ(query.pointY, 20);
    }
    EXPECT_EQ(host.titleRequests, 0);
    EXPECT_EQ(W(builder.MakeMenuQuery(svQuery).GetTargetTitle()), L"Title of Edit");
    EXPECT_EQ(host.titleRequests, 1);
}

namespace
{
// Presses keys in the phrase menu once it shows, and looks at the builder meanwhile.
struct MenuDriver
{
    std::vector<WPARAM> keys;
    IDataNeededHander_MenuSelf* builder = nullptr;
    FakeHistory* history = nullptr;
    bool sawMenu = false;
    bool aliveWhileShown = false;
    bool historyLockedWhileShown = false;
    bool trackerWhileShown = false;
    POINT cursorWhileShown{};
    DWORD keysSentAt = 0;
};
MenuDriver* g_driver = nullptr;

void CALLBACK DriveTheMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!g_driver || !popup || !::IsWindowVisible(popup))
        return;
    if (g_driver->sawMenu) {
        // A safety net: a menu that ignored the keys is closed after a while.
        if (::GetTickCount() - g_driver->keysSentAt > 3000)
            ::EndMenu();
        return;
    }
    g_driver->sawMenu = true;
    g_driver->keysSentAt = ::GetTickCount();
    g_driver->aliveWhileShown = g_driver->builder->IsMenuAlive();
    g_driver->historyLockedWhileShown = g_driver->history->locked;
    g_driver->trackerWhileShown =
        ::FindWindowExW(HWND_MESSAGE, nullptr, L"Scrivolanter_Menu_Tracker", nullptr) != nullptr;
    ::GetCursorPos(&g_driver->cursorWhileShown);
    for (WPARAM key : g_driver->keys) {
        ::PostMessageW(popup, WM_KEYDOWN, key, 0);
        ::PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
    }
}

// A menu request for `target` at (100, 120), shown for real and driven by `driver`; the choice.
int RunDrivenMenuRequest(MenuDriver& driver, HWND target)
{
    g_driver = &driver;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &DriveTheMenu);
    PhraseMenuQuery query;
    query.target = target;
    query.pointX = 100;
    query.pointY = 120;
    const int choice = driver.builder->RunMenuRequest(query);
    ::KillTimer(nullptr, timer);
    g_driver = nullptr;
    return choice;
}
} // namespace

TEST_F(PhraseMenuBuilder, ShownMenuPostsTheChoice)
{
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    store.GetItems().push_back(Phrase(2, L"Beta"));
    FakeHistory history;
    history.items.push_back(FakeHistoryItem::Unicode(L"copied"));
    builder.SetHistory(&history);
    host.elevated = false;

    struct Case
    {
        const char* label;
        std::vector<WPARAM> keys;
        int posted;
        bool runAsAdmin;
    };
    const Case cases[] = {
        {"first phrase", {VK_DOWN, VK_RETURN}, 1, false},
        {"history item", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 2000, false},
        {"escape", {VK_ESCAPE}, -1, false},
        {"run as administrator", {VK_UP, VK_RETURN}, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MenuDriver driver;
        driver.keys = c.keys;
        driver.builder = &builder;
        driver.history = &history;
        EXPECT_EQ(RunDrivenMenuRequest(driver, main.Handle()), c.posted);

        EXPECT_TRUE(driver.sawMenu);
        EXPECT_TRUE(driver.aliveWhileShown);
        EXPECT_TRUE(driver.historyLockedWhileShown);
        EXPECT_TRUE(driver.trackerWhileShown);
        EXPECT_EQ(driver.cursorWhileShown.x, 100);
        EXPECT_EQ(driver.cursorWhileShown.y, 120);
        EXPECT_FALSE(builder.IsMenuAlive());
        EXPECT_EQ(builder.GetCurrentMenu(), nullptr);
        EXPECT_FALSE(history.locked);
        EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Scrivolanter_Menu_Tracker", nullptr), nullptr);

        const auto posted = main.Take(kChoiceMessage);
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(static_cast<int>(posted[0].wParam), c.posted);
        EXPECT_EQ(reinterpret_cast<HWND>(posted[0].lParam), main.Handle());
        EXPECT_EQ(main.Take(WM_COMMAND).size(), c.runAsAdmin ? 1u : 0u);
        EXPECT_EQ(main.Take(kHideToolTipMessage).size(), 1u);
    }
    builder.SetHistory(nullptr);
}

namespace
{
// Two levels of folders; the last used phrase is the deepest one.
void AddNestedFolders(CPhraseStore& store)
{
    PhraseItemRecord excluded = Phrase(31, L"Excluded");
    excluded.included = 0;
    store.GetItems().push_back(Phrase(1, L"Alpha"));
    store.GetItems().push_back(
        Folder(10, L"Letters",
               {Phrase(11, L"Kappa"), Folder(20, L"Inner", {Phrase(21, L"Deep"), Phrase(22, L"Deeper")})}));
    store.GetItems().push_back(Folder(30, L"Hidden", {std::move(excluded)}));
}
} // namespace

TEST_F(PhraseMenuBuilder, FolderSubMenusFilledWhenOpened)
{
    AddNestedFolders(store);
    builder.SetLastID(21);
    GetSettings().AddLastUsedMenuToBegin = 0;
    const Rows eager = Build();
    ASSERT_EQ(eager, (Rows{L"1 Alpha", L"---", L"> Letters", L"  11 Kappa", L"  ---", L"  > Inner",
                           L"    21 Deep", L"    22 Deeper"}));

    builder.SetTargetInfo(0, L"", nullptr);
    BuiltMenu built(builder.MakeMenu(PhraseMenuQuery(), store.GetItems(), true));
    ASSERT_NE(built.menu, nullptr);
    EXPECT_EQ(Dump(built.menu), (Rows{L"1 Alpha", L"---", L"> Letters"}));
    HMENU letters = ::GetSubMenu(built.menu, 2);
    ASSERT_NE(letters, nullptr);
    EXPECT_EQ(::GetMenuItemCount(letters), 0);
    EXPECT_TRUE(builder.IsSubMenuWaiting(letters));
    EXPECT_EQ(GetMenuItemDrawInfoByPosition(built.menu, 2)->defaultMark, 1);

    // The tracker window's WM_INITMENUPOPUP fills one level: the folder inside waits in turn.
    MenuTrackerWindow tracker(&builder);
    ASSERT_NE(tracker.Create(), nullptr);
    ::SendMessageW(tracker.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(letters), 0);
    EXPECT_EQ(Dump(letters), (Rows{L"11 Kappa", L"---", L"> Inner"}));
    EXPECT_FALSE(builder.IsSubMenuWaiting(letters));
    HMENU inner = ::GetSubMenu(letters, 2);
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(builder.IsSubMenuWaiting(inner));
    EXPECT_EQ(::GetMenuItemCount(inner), 0);

    // Opening it again adds nothing; filling the rest gives the menu an eager build gives.
    ::SendMessageW(tracker.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(letters), 0);
    EXPECT_FALSE(builder.FillSubMenu(letters));
    builder.FillAllSubMenus(built.menu);
    EXPECT_EQ(Dump(built.menu), eager);
    EXPECT_FALSE(builder.IsSubMenuWaiting(inner));
    EXPECT_EQ(GetMenuItemDrawInfo(inner, 21)->defaultMark, 1);
    EXPECT_EQ(GetMenuItemDrawInfo(inner, 22)->row, 1);
}

TEST_F(PhraseMenuBuilder, ShownMenuChoosesFromANestedFolder)
{
    AddNestedFolders(store);
    FakeHistory history;
    builder.SetHistory(&history);
    GetSettings().AddLastUsedMenuToBegin = 0;

    MenuDriver driver;
    driver.keys = {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN};
    driver.builder = &builder;
    driver.history = &history;
    EXPECT_EQ(RunDrivenMenuRequest(driver, main.Handle()), 22);
    EXPECT_TRUE(driver.sawMenu);
    EXPECT_FALSE(builder.IsMenuAlive());
    builder.SetHistory(nullptr);
}
