#include "menus/tips/DataNeededHander_MenuSelf.h"

#include <algorithm>
#include <memory>

#include "engine/SVQuery.h"
#include "common/LocalizedString.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/StructuredExceptionGuard.h"
#include "common/TextDecoration.h"
#include "common/TextUtilities.h"
#include "common/TimingMarks.h"
#include "engine/AutoForegroundWindow.h"
#include "engine/KeyboardLayoutMacros.h"
#include "engine/MenuCaptions.h"
#include "engine/PhraseStore.h"
#include "menus/tips/HistoryMenuTexts.h"
#include "menus/phrasemenu/MenuCommandKeys.h"
#include "menus/phrasemenu/MenuErrorReport.h"
#include "menus/tips/MenuHistorySource.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuTrackerWindow.h"
#include "menus/phrasemenu/OwnerDrawnMenuItems.h"
#include "menus/phrasemenu/PhraseMenuBuilderRes.h"
#include "menus/phrasemenu/PhraseMenuHost.h"
#include "menus/phrasemenu/PhraseMenuSeparators.h"

namespace
{
constexpr UINT kHideMenuToolTipMessage = WM_APP + 17;
constexpr UINT kShowFloatPaneMessage = WM_APP + 32;

constexpr int kSelectionMenuSourceChars = 800;
constexpr int kSelectionMenuChars = 40;
constexpr int kSelectionTipSourceChars = 3120;
constexpr int kSelectionTipChars = 1040;
constexpr int kDashLineLength = 12;
// History items shown before the rest go into "More History".
constexpr int kHistoryItemsBeforeMore = 15;
constexpr DWORD kPauseAfterChoiceMs = 100;
// The code a C++ exception is reported with (the one the system's C++ runtime raises).
constexpr DWORD kCppExceptionCode = 0xE06D7363;

const wchar_t kMakeMenuFault[] = L"ERROR: Exception in IDataNeededHander_MenuSelf::MakeMenu";
const wchar_t kFillSubMenuFault[] = L"ERROR: Exception in IDataNeededHander_MenuSelf::FillSubMenu";
const wchar_t kCleanupMenuFault[] = L"Crash: on IDataNeededHander_MenuSelf::CleanupMenu";
const wchar_t kHistoryFault[] =
    L"ERROR: Exception in IDataNeededHander_MenuSelf::AddClipboardHistoryIntoMenu";
const wchar_t kMissingLastUsed[] = L"ERROR IDataNeededHander_MenuSelf::MakeMenu";

// Runs the body under the structured exception guard. A processor fault, or a C++ exception
// leaving the body, is reported as FormatExceptionReport(text, code) through the menu's error
// message; the result is then false.
template <typename Body>
bool RunReported(LPCWSTR text, Body&& body)
{
    DWORD code = 0;
    bool threw = false;
    const bool returned = RunStructuredExceptionGuarded(
        [&] {
            try {
                body();
            } catch (...) {
                threw = true;
            }
        },
        &code);
    if (returned && !threw)
        return true;
    ShowMenuErrorMessage(FormatExceptionReport(text, returned ? kCppExceptionCode : code));
    return false;
}

// The layout badge of a phrase that switches the keyboard layout: "+" and the language's
// two-letter abbreviation ("+RU"); empty otherwise.
CString LayoutBadge(const CString& body)
{
    CString abbreviation = GetActivateKlLangAbbrev(body);
    if (abbreviation.IsEmpty())
        return abbreviation;
    abbreviation.MakeUpper();
    return CString(L"+") + abbreviation;
}

// Appends a plain separator unless the menu is empty or already ends with one.
void AppendSeparatorIfNeeded(HMENU menu)
{
    if (::GetMenuItemCount(menu) > 0 && !IsLastMenuItemSeparator(menu))
        AppendSeparator(menu);
}

// The command ids of the menu's own items (not of its sub-menus).
std::vector<int> TopLevelCommands(HMENU menu)
{
    std::vector<int> ids;
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        ids.push_back(static_cast<int>(::GetMenuItemID(menu, position)));
    return ids;
}

bool Contains(const std::vector<int>& ids, int id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool AttachToLastItem(HMENU menu, std::unique_ptr<MenuItemDrawInfo> record)
{
    const int position = ::GetMenuItemCount(menu) - 1;
    return position >= 0 &&
           AttachMenuItemDrawInfo(menu, static_cast<UINT>(position), true, std::move(record));
}

// Keeps the history from taking new items while the menu is built and shown.
class HistoryLock
{
public:
    explicit HistoryLock(IMenuHistory* history) : m_history(history)
    {
        if (m_history)
            m_history->SetLocked(true);
    }
    ~HistoryLock()
    {
        if (m_history)
            m_history->SetLocked(false);
    }
    HistoryLock(const HistoryLock&) = delete;
    HistoryLock& operator=(const HistoryLock&) = delete;

private:
    IMenuHistory* m_history;
};

// Appends an owner-drawn item. Such an item takes lpNewItem as its data: none until the record is
// attached.
bool AppendOwnerDrawnItem(HMENU menu, UINT flags, int commandId)
{
    return ::AppendMenuW(menu, MF_OWNERDRAW | flags, static_cast<UINT_PTR>(static_cast<UINT>(commandId)),
                         nullptr) != FALSE;
}

std::unique_ptr<MenuItemDrawInfo> MakePhraseRecord(const PhraseItemRecord& record, const CString& caption,
                                                   const CString& tip, const CString& preview,
                                                   int caretOffset)
{
    auto info = std::make_unique<MenuItemDrawInfo>(caption, record.dataType, record.id);
    info->SetRightText(LayoutBadge(record.body));
    info->SetCommandText(record.body);
    info->caretOffset = caretOffset;
    info->SetToolTipText(tip);
    info->preview = preview;
    return info;
}

// Grayed when the phrase needs a selection and the target has none.
UINT PhraseItemFlags(const PhraseItemRecord& record, const CString& selectedText)
{
    return record.GetDisabledIsNoHasSelection() && selectedText.IsEmpty() ? MF_GRAYED : 0;
}

// A string cut to its first `chars` characters.
CString LeftAtMost(const CString& text, int chars)
{
    return text.GetLength() > chars ? text.Left(chars) : text;
}
} // namespace

struct IDataNeededHander_MenuSelf::ItemTexts
{
    CString caption;
    CString tip;
    CString preview;
    int caretOffset = -1;
};

IDataNeededHander_MenuSelf::IDataNeededHander_MenuSelf(HWND notifyWindow, UINT notifyMessage,
                                                       CPhraseStore* phraseStore,
                                                       CSCVWndClipboardHandler* clipboardHandler,
                                                       IPhraseMenuHost* host)
    : IDataNeededHander(phraseStore, clipboardHandler), m_notifyWindow(notifyWindow),
      m_notifyMessage(notifyMessage), m_host(host)
{
    ClearMenuFonts();
}

IDataNeededHander_MenuSelf::~IDataNeededHander_MenuSelf()
{
    DestroyMenuItemIcons();
}

void IDataNeededHander_MenuSelf::ClearFonts_Internal()
{
    WriteLogLine(L"WOW!!! ClearFonts_Internal in IDataNeededHander_MenuSelf");
    ClearMenuFonts();
}

bool IDataNeededHander_MenuSelf::IsMenuAlive()
{
    return m_currentMenu && ::IsMenu(m_currentMenu);
}

void IDataNeededHander_MenuSelf::OnDataNeeded(SVQuery& query, SVAnswer&)
{
    RunMenuRequest(MakeMenuQuery(query));
}

PhraseMenuQuery IDataNeededHander_MenuSelf::MakeMenuQuery(const SVQuery& query)
{
    PhraseMenuQuery menuQuery;
    menuQuery.target = query.Hwnd;
    menuQuery.caret = query.ThreadInfo.hwndCaret;
    menuQuery.focus = query.ThreadInfo.hwndFocus;
    menuQuery.active = query.ThreadInfo.hwndActive;
    menuQuery.menuOwner = query.ThreadInfo.hwndMenuOwner;
    menuQuery.capture = query.ThreadInfo.hwndCapture;
    menuQuery.languageId = query.GetLanguageId();
    menuQuery.selectedText = GetTargetSelectedText(query);
    menuQuery.pointX = query.POINT_X;
    menuQuery.pointY = query.POINT_Y;
    if (IPhraseMenuHost* host = m_host)
        menuQuery.targetTitle = [host, &query] { return host->GetTargetWindowTitle(query); };
    return menuQuery;
}

int IDataNeededHander_MenuSelf::RunMenuRequest(const PhraseMenuQuery& query)
{
    const HistoryLock lock(m_history);
    CString line;
    line.Format(L"IDataNeededHander_MenuSelf::OnDataNeeded lcid=%d", static_cast<int>(query.languageId));
    WriteLogLine(line);
    LogWindowInfo(L"Caret", query.caret);
    LogWindowInfo(L"Focus", query.focus);
    LogWindowInfo(L"Active", query.active);
    LogWindowInfo(L"Menu", query.menuOwner);
    LogWindowInfo(L"Capture", query.capture);
    LogWindowInfo(L"hwndForMenu", query.target);

    int choice = ShowMenu(query);
    if (choice == 0)
        choice = -1;
    m_postedChoices.emplace_back(choice, query.target);
    ::PostMessageW(m_notifyWindow, m_notifyMessage, static_cast<WPARAM>(static_cast<INT_PTR>(choice)),
                   reinterpret_cast<LPARAM>(query.target));
    return choice;
}

int IDataNeededHander_MenuSelf::ShowMenu(const PhraseMenuQuery& query)
{
    SetTargetInfo(query.languageId, query.selectedText, query.target);
    FillMacroContext(m_macroContext, query.selectedText);
    if (m_host)
        m_host->CloseOwnDialogs();

    static const std::vector<PhraseItemRecord> kNoPhrases;
    m_currentMenu = MakeMenu(query, m_phraseStore ? m_phraseStore->GetItems() : kNoPhrases, true);
    if (!m_currentMenu)
        return 0;
    MarkTiming(TimingMark::MenuBuilt);

    int chosen = 0;
    {
        CAutoForegroundWindow foreground(m_notifyWindow);
        MarkTiming(TimingMark::ForegroundTaken);
        chosen = TrackMenu(m_currentMenu, query);
        CleanupMenu(m_currentMenu);
        ::DestroyMenu(m_currentMenu);
        m_currentMenu = nullptr;
        m_waitingSubMenus.clear();
    }
    const int result = DecideChoice(chosen);
    if (chosen != 0)
        ::Sleep(kPauseAfterChoiceMs);
    return result;
}

int IDataNeededHander_MenuSelf::TrackMenu(HMENU menu, const PhraseMenuQuery& query)
{
    POINT point{query.pointX, query.pointY};
    if (point.x == -1 && point.y == -1)
        ::GetCursorPos(&point);

    auto tracker = std::make_unique<MenuTrackerWindow>(this);
    const HWND owner = tracker->Create();
    RefreshMenuItemHeight();
    SetMenuBeingShown(menu, owner);
    ::SetCursorPos(point.x, point.y);
    MarkTiming(TimingMark::MenuTrackerReady);

    ClearSideBandDrawn();
    MarkTiming(TimingMark::MenuTracking);
    const int chosen =
        owner ? static_cast<int>(::TrackPopupMenuEx(menu, TPM_RETURNCMD, point.x, point.y, owner, nullptr))
              : 0;
    ClearSideBandDrawn();

    ::SendMessageW(m_notifyWindow, kHideMenuToolTipMessage, 0, 0);
    tracker.reset();
    SetMenuBeingShown(nullptr, nullptr);
    return chosen;
}

int IDataNeededHander_MenuSelf::DecideChoice(int chosenId)
{
    const int key = GetMenuCommandKey(chosenId);
    if (key == kMenuKeyRunAsAdmin) {
        ::SendMessageW(m_notifyWindow, WM_COMMAND, MAKEWPARAM(ID_MENU_RUN_AS_ADMIN, 0), 0);
        return 0;
    }
    if (key == kMenuKeyShowFloatPane) {
        ::PostMessageW(m_notifyWindow, kShowFloatPaneMessage, 0, 0);
        return 0;
    }
    return key != 0 ? key : chosenId;
}

bool IDataNeededHander_MenuSelf::TakePostedChoice(int choice, HWND target)
{
    const auto found =
        std::find(m_postedChoices.begin(), m_postedChoices.end(), std::make_pair(choice, target));
    if (found == m_postedChoices.end())
        return false;
    m_postedChoices.erase(found);
    return true;
}

bool IDataNeededHander_MenuSelf::IsCommandShown(int commandId)
{
    // MF_BYCOMMAND looks through the sub-menus too.
    return IsMenuAlive() && commandId != 0 &&
           ::GetMenuState(m_currentMenu, static_cast<UINT>(commandId), MF_BYCOMMAND) != 0xFFFFFFFF;
}

// --- Building -------------------------------------------------------------------------------------

HMENU IDataNeededHander_MenuSelf::MakeMenu(const PhraseMenuQuery& query,
                                           const std::vector<PhraseItemRecord>& list)
{
    return MakeMenu(query, list, false);
}

HMENU IDataNeededHander_MenuSelf::MakeMenu(const PhraseMenuQuery& query,
                                           const std::vector<PhraseItemRecord>& list, bool fillSubMenusOnOpen)
{
    m_waitingSubMenus.clear();
    m_waitingQuery = query;
    m_fillSubMenusOnOpen = fillSubMenusOnOpen;
    HMENU building = nullptr; // the menu under construction, freed when building it fails
    HMENU menu = nullptr;
    if (RunReported(kMakeMenuFault, [&] { menu = BuildMenu(query, list, building); }))
        return menu;
    if (building) {
        CleanupMenu(building);
        ::DestroyMenu(building);
    }
    m_waitingSubMenus.clear();
    return nullptr;
}

bool IDataNeededHander_MenuSelf::FillSubMenu(HMENU subMenu)
{
    const auto found = m_waitingSubMenus.find(subMenu);
    if (found == m_waitingSubMenus.end())
        return false;
    const PhraseItemRecord* folder = found->second;
    m_waitingSubMenus.erase(found); // filled once, also when filling fails
    RunReported(kFillSubMenuFault, [&] { AddPhraseItems(m_waitingQuery, *folder->children, subMenu); });
    return true;
}

void IDataNeededHander_MenuSelf::FillAllSubMenus(HMENU menu)
{
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU subMenu = ::GetSubMenu(menu, position);
        if (!subMenu)
            continue;
        FillSubMenu(subMenu);
        FillAllSubMenus(subMenu);
    }
}

void IDataNeededHander_MenuSelf::OnMenuInitPopup(HMENU popup)
{
    FillSubMenu(popup);
}

HMENU IDataNeededHander_MenuSelf::BuildMenu(const PhraseMenuQuery& query,
                                            const std::vector<PhraseItemRecord>& list, HMENU& building)
{
    building = ::CreatePopupMenu();
    HMENU menu = building;
    if (!menu)
        return nullptr;
    if (IsAddLastUsedMenuToBegin() && AddLastUsedItems(menu, query) > 0)
        AppendCaptionedSeparator(menu,
                                 LoadLocalizedTextOr(IDS_PHRASE_MENU_OTHER_COMMANDS, L"Other commands"));
    AddPhraseItems(query, list, menu);
    if (GetSettings().InsertCHIntoMenu)
        AddClipboardHistoryIntoMenu(true, true, menu);
    AddMainCommands(menu, query);

    building = nullptr;
    if (::GetMenuItemCount(menu) > 0)
        return menu;
    FreeMenuItemDrawInfos(menu);
    ::DestroyMenu(menu);
    return nullptr;
}

void IDataNeededHander_MenuSelf::CleanupMenu(HMENU menu)
{
    RunReported(kCleanupMenuFault, [menu] { FreeMenuItemDrawInfos(menu); });
}

IDataNeededHander_MenuSelf::ItemTexts
IDataNeededHander_MenuSelf::MakePhraseTexts(const PhraseItemRecord& record)
{
    ItemTexts texts;
    texts.caption = BuildPhraseMenuCaption(record, *this, m_macroContext, texts.caretOffset);
    texts.tip = BuildPhraseTooltipText(record, texts.caption, GetTargetLangId(), GetSelectedText(),
                                       GetClipboardText(), &texts.preview);
    return texts;
}

int IDataNeededHander_MenuSelf::AddLastUsedItems(HMENU menu, const PhraseMenuQuery& query)
{
    int added = 0;
    const std::vector<int> ids = m_lastUsedIds;
    for (const int id : ids) {
        if (AddLastUsedItem(id, menu, query, added == 0, added))
            ++added;
    }
    return added;
}

bool IDataNeededHander_MenuSelf::AddLastUsedItem(int id, HMENU menu, const PhraseMenuQuery& query, bool first,
                                                 int index)
{
    if (id == -1 || IsMenuCommandMapped(id))
        return false;
    const PhraseItemRecord* record = m_phraseStore ? m_phraseStore->FindItemById(id) : nullptr;
    if (!record || record->IsFolder()) {
        // The list follows reloads; an id that still names nothing is dropped, never shown.
        WriteLogLine(CString(kMissingLastUsed) + L": a last used id names no phrase, dropped");
        m_lastUsedIds.erase(std::remove(m_lastUsedIds.begin(), m_lastUsedIds.end(), id), m_lastUsedIds.end());
        return false;
    }
    const ItemTexts texts = MakePhraseTexts(*record);
    if (!AppendOwnerDrawnItem(menu, PhraseItemFlags(*record, GetSelectedText()), record->id))
        return false;
    auto info = MakePhraseRecord(*record, texts.caption, texts.tip, texts.preview, texts.caretOffset);
    info->row = 0;
    info->defaultMark = first ? 1 : 0;
    info->number = index;
    AttachToLastItem(menu, std::move(info));
    return true;
}

void IDataNeededHander_MenuSelf::AddPhraseItems(const PhraseMenuQuery& query,
                                                const std::vector<PhraseItemRecord>& list, HMENU menu)
{
    // Phrases already in this menu (the last used ones at the top level) are not shown again.
    const std::vector<int> present = TopLevelCommands(menu);
    int row = 0;
    for (const PhraseItemRecord& record : list) {
        if (record.IsFolder() || !record.HasIncludedContent() || Contains(present, record.id))
            continue;
        const ItemTexts texts = MakePhraseTexts(record);
        if (record.HasSeparatorBefore())
            AppendSeparatorIfNeeded(menu);
        if (AppendOwnerDrawnItem(menu, PhraseItemFlags(record, GetSelectedText()), record.id)) {
            auto info = MakePhraseRecord(record, texts.caption, texts.tip, texts.preview, texts.caretOffset);
            info->row = row++;
            info->defaultMark = record.id == m_lastUsedId ? 1 : 0;
            AttachToLastItem(menu, std::move(info));
        }
        if (record.HasSeparatorAfter())
            AppendSeparatorIfNeeded(menu);
    }
    AppendFolders(query, list, menu);
}

void IDataNeededHander_MenuSelf::AppendFolders(const PhraseMenuQuery& query,
                                               const std::vector<PhraseItemRecord>& list, HMENU menu)
{
    bool separatorPending = ::GetMenuItemCount(menu) > 0;
    for (const PhraseItemRecord& record : list) {
        if (!record.IsFolder() || !record.HasIncludedContent())
            continue;
        HMENU subMenu = ::CreatePopupMenu();
        if (!subMenu)
            continue;
        // A folder with included content always gets items, so one filled later is not empty.
        if (m_fillSubMenusOnOpen)
            m_waitingSubMenus[subMenu] = &record;
        else
            AddPhraseItems(query, *record.children, subMenu);
        if (!m_fillSubMenusOnOpen && ::GetMenuItemCount(subMenu) == 0) {
            ::DestroyMenu(subMenu);
            continue;
        }
        if (separatorPending) {
            AppendSeparatorIfNeeded(menu);
            separatorPending = false;
        }
        if (record.HasSeparatorBefore())
            AppendSeparatorIfNeeded(menu);
        const bool contains = CPhraseStore::FolderContainsId(record, m_lastUsedId);
        if (!AppendSubMenuItem(subMenu, menu, record.GetTitle(), false, contains)) {
            m_waitingSubMenus.erase(subMenu);
            FreeMenuItemDrawInfos(subMenu);
            ::DestroyMenu(subMenu);
            continue;
        }
        if (record.HasSeparatorAfter())
            AppendSeparatorIfNeeded(menu);
    }
}

// --- Clipboard history ------------------------------------------------------------------------------

bool IDataNeededHander_MenuSelf::AddClipboardHistoryIntoMenu(bool withTips, bool, HMENU menu)
{
    return RunReported(kHistoryFault, [&] { AddHistoryItems(withTips, menu); });
}

void IDataNeededHander_MenuSelf::AddHistoryItems(bool withTips, HMENU menu)
{
    const int total = m_history ? (std::min)(m_history->GetHistoryCount(), kHistoryMenuMaxItems) : 0;
    if (total <= 0)
        return;
    const CSettings& settings = GetSettings();
    const int limit = settings.MaxHistoryItemsInMenu > 0 ? settings.MaxHistoryItemsInMenu : 0;
    const int shown = limit > 0 && limit < total ? limit : total;

    if (::GetMenuItemCount(menu) > 0) {
        CString caption;
        caption.Format(L"%s [%d/%d]",
                       LoadLocalizedTextOr(IDS_PHRASE_MENU_CLIPBOARD, L"Clipboard").GetString(), shown,
                       total);
        AppendCaptionedSeparator(menu, caption);
    }

    HMENU target = menu;
    bool subMenuMode = settings.AppendCHAsSubMenu_ForV140 != 0;
    if (subMenuMode) {
        HMENU subMenu = ::CreatePopupMenu();
        if (subMenu && AppendSubMenuItem(subMenu, menu, GetHistorySubMenuCaption(total), true, false)) {
            target = subMenu;
        } else {
            if (subMenu)
                ::DestroyMenu(subMenu);
            subMenuMode = false;
        }
    }

    for (int i = 0; i < total; ++i) {
        if (!subMenuMode && i == kHistoryItemsBeforeMore) {
            CString caption;
            caption.Format(L"%s [%d - %d]",
                           LoadLocalizedTextOr(IDS_PHRASE_MENU_MORE_HISTORY, L"More History").GetString(),
                           kHistoryItemsBeforeMore + 1, shown);
            HMENU more = ::CreatePopupMenu();
            if (more && AppendSubMenuItem(more, menu, caption, true, false))
                target = more;
            else if (more)
                ::DestroyMenu(more);
        }
        if (IMenuHistoryItem* item = m_history->GetHistoryItem(i)) {
            const int commandId = kHistoryMenuFirstId + i;
            CString full;
            const CString caption = GetHistoryItemMenuCaption(*item, &full);
            if (AppendOwnerDrawnItem(target, 0, commandId)) {
                const int type = item->GetType();
                auto info =
                    std::make_unique<MenuItemDrawInfo>(caption, type == kHistoryRtf ? 1 : 0, commandId);
                info->historyStyle = 1;
                info->row = i;
                info->preview = full;
                info->bitmapFlag = type == kHistoryBitmap ? 1 : 0;
                info->documentFlag = type == kHistoryDocument ? 1 : 0;
                if (withTips)
                    info->SetToolTipText(GetHistoryItemTipText(*item, m_host));
                AttachToLastItem(target, std::move(info));
            }
        }
        if ((limit > 0 && i + 1 >= limit) || i + 1 == total)
            break;
    }
}

// --- Program commands -------------------------------------------------------------------------------

bool IDataNeededHander_MenuSelf::AppendCommandItem(HMENU menu, UINT commandId, const CString& text,
                                                   const CString& tip, UINT flags)
{
    if (!AppendOwnerDrawnItem(menu, flags, static_cast<int>(commandId)))
        return false;
    auto info = std::make_unique<MenuItemDrawInfo>(text, 0, static_cast<int>(commandId));
    info->SetToolTipText(tip);
    AttachToLastItem(menu, std::move(info));
    return true;
}

bool IDataNeededHander_MenuSelf::AddSelectionCommand(HMENU menu, const PhraseMenuQuery& query)
{
    CString text = LoadLocalizedTextOr(IDS_PHRASE_MENU_SELECTION, L"Selection into Phrase");
    CString forMenu = LeftAtMost(query.selectedText, kSelectionMenuSourceChars);
    ShortenTextMiddle(forMenu, kSelectionMenuChars);
    WriteLogLine(CString(L"strSelText_ForMenu: ") + L"[" + forMenu + L"]");
    if (!forMenu.IsEmpty())
        text += CString(L" [") + forMenu + L"]";

    CString tip = LoadLocalizedTextOr(IDS_PHRASE_MENU_SELECTION_TIP, L"Add selected text as new phrase");
    if (query.HasSelectedText()) {
        const CString title = query.GetTargetTitle();
        if (!title.IsEmpty()) {
            AppendDashLine(tip, kDashLineLength, true);
            tip += CString(L"      ") + LoadLocalizedTextOr(IDS_PHRASE_MENU_COPIED_FROM, L"Copied From") +
                   L" \u00AB" + title + L"\u00BB";
        }
    }
    CString forTip = LeftAtMost(query.selectedText, kSelectionTipSourceChars);
    ShortenTextMiddle(forTip, kSelectionTipChars);
    WriteLogLine(CString(L"strSelText_ForTT: ") + L"[" + forTip + L"]");
    if (!forTip.IsEmpty()) {
        AppendDashLine(tip, kDashLineLength, true);
        tip += forTip;
    }
    return AppendCommandItem(menu, ID_MENU_ADD_SELECTION, text, tip, query.HasSelectedText() ? 0 : MF_GRAYED);
}

bool IDataNeededHander_MenuSelf::AddFloatPaneCommand(HMENU menu)
{
    const CString text = LoadLocalizedTextOr(IDS_PHRASE_MENU_FLOAT_PANE, L"Show Float Pane");
    CString tip = text;
    AppendDashLine(tip, kDashLineLength, true);
    tip += LoadLocalizedTextOr(IDS_PHRASE_MENU_FLOAT_PANE_TIP, L"Show float panel with clipboard history");
    tip +=
        CString(L"\n\n     \u00BB ") + LoadLocalizedTextOr(IDS_PHRASE_MENU_FLOAT_PANE_MORE, L"") + L"\u2026";
    return AppendCommandItem(menu, ID_MENU_SHOW_FLOAT_PANE, text, tip, 0);
}

void IDataNeededHander_MenuSelf::AddMainCommands(HMENU menu, const PhraseMenuQuery& query)
{
    const CSettings& settings = GetSettings();
    AppendSeparatorIfNeeded(menu);

    bool anyAdded = false;
    if (settings.GetExtMenuCommand(CSettings::ExtMenuCommand__EditSetting)) {
        anyAdded |=
            AppendCommandItem(menu, ID_MENU_EDIT_SETTINGS,
                              LoadLocalizedTextOr(IDS_PHRASE_MENU_EDIT_SETTINGS, L"Edit menu\\settings"),
                              LoadLocalizedTextOr(IDS_PHRASE_MENU_EDIT_SETTINGS_TIP,
                                                  L"You can change this menu, phrases and settings here"),
                              0);
    }
    if (settings.GetExtMenuCommand(CSettings::ExtMenuCommand__SaveSelAsPhrase))
        anyAdded |= AddSelectionCommand(menu, query);
    if (settings.GetExtMenuCommand(CSettings::ExtMenuCommand__ShowFloatPane))
        anyAdded |= AddFloatPaneCommand(menu);
    if (settings.GetExtMenuCommand(CSettings::ExtMenuCommand__SUPPORT)) {
        if (anyAdded)
            AppendCaptionedSeparator(menu, LoadLocalizedTextOr(IDS_PHRASE_MENU_VISIT_US, L"Visit to us"));
        AppendCommandItem(
            menu, ID_MENU_SUPPORT, LoadLocalizedTextOr(IDS_PHRASE_MENU_SUPPORT, L"Technical Support"),
            LoadLocalizedTextOr(IDS_PHRASE_MENU_SUPPORT_TIP, L"Visit to support form on official web site"),
            0);
    }
    if (!m_host || !m_host->IsElevated()) {
        const CString text = m_host ? m_host->LocalizedTextAfter(IDS_PHRASE_MENU_RUN_AS_ADMIN) : CString();
        const CString tip = m_host ? m_host->LocalizedTextBefore(IDS_PHRASE_MENU_RUN_AS_ADMIN) : CString();
        AppendCommandItem(menu, ID_MENU_RUN_AS_ADMIN,
                          text.IsEmpty() ? CString(L"Run As Administrator") : text, tip, 0);
    }
    DeleteTrailingSeparator(menu);
}
