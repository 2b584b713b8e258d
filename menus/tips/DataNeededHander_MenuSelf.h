#pragma once

// The phrase pop-up menu for one target query. The tray window hands a parsed query to
// OnDataNeeded; the builder makes an owner-drawn pop-up menu from the last used phrases, the
// phrase tree, the clipboard history and the program commands, tracks it with the menu tracker
// window as owner, and posts the choice back to the tray window (WM_APP+12, wParam the choice,
// lParam the target window): a phrase id, a history id (2000 + index), a negative key of a
// program command (-2, -4, -6), or -1 when nothing was chosen.
//
// One instance, made by the tray window and owned by it. User-interface thread only.

#include <windows.h>

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "engine/DataNeededHander.h"
#include "engine/MacroContext.h"
#include "menus/tips/MenuTrackerOwner.h"
#include "platform/CString.h"

class IMenuHistory;
class IPhraseMenuHost;
class PhraseItemRecord;

// What the menu needs of a target query.
struct PhraseMenuQuery
{
    HWND target = nullptr; // the window the choice is for
    HWND caret = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND menuOwner = nullptr;
    HWND capture = nullptr;
    LANGID languageId = 0; // the target's input-locale language
    CString selectedText;  // empty when the target has none (or it could not be read)
    int pointX = -1;       // where the menu opens; both -1: at the mouse cursor
    int pointY = -1;
    std::function<CString()> targetTitle; // the target's title, asked only when needed (may be empty)

    bool HasSelectedText() const { return !selectedText.IsEmpty(); }
    CString GetTargetTitle() const { return targetTitle ? targetTitle() : CString(); }
};

class IDataNeededHander_MenuSelf : public IDataNeededHander, public MenuTrackerOwner
{
public:
    static constexpr UINT kNotifyMessage = WM_APP + 12;

    // `host` (the tray object) gives the services of the program; it may be null in which case
    // the builder behaves as for a program that is not elevated and has no dialogs open.
    IDataNeededHander_MenuSelf(HWND notifyWindow, UINT notifyMessage, CPhraseStore* phraseStore,
                               CSCVWndClipboardHandler* clipboardHandler, IPhraseMenuHost* host);
    ~IDataNeededHander_MenuSelf() override;

    // --- IDataNeededHander ---------------------------------------------------------------------
    // Logs "WOW!!! ClearFonts_Internal in IDataNeededHander_MenuSelf" and frees the menu fonts.
    void ClearFonts_Internal() override;
    int IsMenuShownBySelf() override { return 1; }
    // True while a menu exists.
    bool IsMenuAlive() override;
    // Shows the menu for the query and posts the choice; see RunMenuRequest.
    void OnDataNeeded(SVQuery& query, SVAnswer& answer) override;
    int IsAnswerFilled() override { return 0; }

    // --- MenuTrackerOwner ------------------------------------------------------------------------
    HWND GetMainWindow() const override { return m_notifyWindow; }
    // Fills a folder sub-menu on its first opening.
    void OnMenuInitPopup(HMENU popup) override;

    // The clipboard history the menu shows (not owned; null: no history items).
    void SetHistory(IMenuHistory* history) { m_history = history; }
    IMenuHistory* GetHistory() const { return m_history; }
    IPhraseMenuHost* GetHost() const { return m_host; }
    HMENU GetCurrentMenu() const { return m_currentMenu; }
    const CMacroContext& GetMacroContext() const { return m_macroContext; }

    // The menu's view of a query. Its title function asks the host about `query` when needed, so
    // it is used only while `query` lives.
    PhraseMenuQuery MakeMenuQuery(const SVQuery& query);

    // OnDataNeeded for a converted query: locks the history, logs the query's windows, shows the
    // menu, posts the choice (-1 for none) and unlocks the history. Returns the posted choice.
    int RunMenuRequest(const PhraseMenuQuery& query);

    // Stores the target information, fills the macro context, closes the program's own dialogs,
    // builds the menu, tracks it and cleans up. Returns the chosen command id, a negative key
    // (-2, -4, -6), or 0 (nothing chosen, no menu, or a command run here: -9 run as
    // administrator, -8 show the floating pane).
    int ShowMenu(const PhraseMenuQuery& query);

    // Builds the menu for the phrase list (top to bottom: last used items, "Other commands",
    // phrases and folders, clipboard history, program commands) under a structured exception
    // guard. Null when it would be empty or building it failed.
    HMENU MakeMenu(const PhraseMenuQuery& query, const std::vector<PhraseItemRecord>& list);
    // The same, but with `fillSubMenusOnOpen` each folder's sub-menu is made empty and filled
    // only when it is about to open (OnMenuInitPopup) or by FillSubMenu / FillAllSubMenus. The
    // phrase list must stay unchanged while the menu lives.
    HMENU MakeMenu(const PhraseMenuQuery& query, const std::vector<PhraseItemRecord>& list,
                   bool fillSubMenusOnOpen);
    // Fills a folder sub-menu that is still empty with the items an eager build gives it (its
    // own folders again waiting to be filled). False when `subMenu` is not waiting.
    bool FillSubMenu(HMENU subMenu);
    // Fills every waiting sub-menu of `menu`, at every depth.
    void FillAllSubMenus(HMENU menu);
    bool IsSubMenuWaiting(HMENU subMenu) const { return m_waitingSubMenus.count(subMenu) != 0; }
    // Frees the records of the menu and its sub-menus, under a guard (the menu itself stays).
    static void CleanupMenu(HMENU menu);

    // The parts of the menu, in the order MakeMenu adds them.
    int AddLastUsedItems(HMENU menu, const PhraseMenuQuery& query);
    bool AddLastUsedItem(int id, HMENU menu, const PhraseMenuQuery& query, bool first, int index);
    void AddPhraseItems(const PhraseMenuQuery& query, const std::vector<PhraseItemRecord>& list, HMENU menu);
    // History item i gets the id 2000 + i; under a guard. `unused` is kept for callers that pass it.
    bool AddClipboardHistoryIntoMenu(bool withTips, bool unused, HMENU menu);
    void AddMainCommands(HMENU menu, const PhraseMenuQuery& query);

    // What ShowMenu returns for a chosen id: runs -9 and -8 itself (0), gives the other keys,
    // else the id.
    int DecideChoice(int chosenId);

    // Whether RunMenuRequest posted this choice for this target and it was not taken yet; a
    // posted choice is taken (true) once. Any program can post WM_APP+12: the tray window runs
    // only the choices its menu made.
    bool TakePostedChoice(int choice, HWND target);
    // Whether the menu is open and shows an item with the command id (in any of its sub-menus):
    // what a right-click choice of the open menu can name.
    bool IsCommandShown(int commandId);

private:
    struct ItemTexts;

    HMENU BuildMenu(const PhraseMenuQuery& query, const std::vector<PhraseItemRecord>& list, HMENU& building);
    ItemTexts MakePhraseTexts(const PhraseItemRecord& record);
    void AppendFolders(const PhraseMenuQuery& query, const std::vector<PhraseItemRecord>& list, HMENU menu);
    void AddHistoryItems(bool withTips, HMENU menu);
    bool AppendCommandItem(HMENU menu, UINT commandId, const CString& text, const CString& tip, UINT flags);
    bool AddSelectionCommand(HMENU menu, const PhraseMenuQuery& query);
    bool AddFloatPaneCommand(HMENU menu);
    int TrackMenu(HMENU menu, const PhraseMenuQuery& query);

    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = kNotifyMessage;
    IPhraseMenuHost* m_host = nullptr; // the tray object; not owned
    IMenuHistory* m_history = nullptr; // not owned
    HMENU m_currentMenu = nullptr;
    // Folder sub-menus of the last built menu not filled yet, with the folder each stands for
    // (records of the phrase list the menu was built from).
    std::map<HMENU, const PhraseItemRecord*> m_waitingSubMenus;
    PhraseMenuQuery m_waitingQuery;
    bool m_fillSubMenusOnOpen = false;
    CMacroContext m_macroContext;
    // Choices posted by RunMenuRequest and not yet taken by the tray window, oldest first.
    std::vector<std::pair<int, HWND>> m_postedChoices;
};
