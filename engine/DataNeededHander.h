#pragma once
// The base of the phrase menu builder: what the menu needs from the moment of a request (the
// target's selected text, input-locale language id and window, the clipboard text), the list of the
// last used phrases, and the phrase tree and clipboard watcher the menu is built from.

#include <windows.h>

#include <vector>

#include "platform/CString.h"

class CPhraseStore;
class CSCVWndClipboardHandler;
class SVQuery;
class SVAnswer;

class IDataNeededHander
{
public:
    // Asked before an id becomes the newest last used one; 0 refuses it.
    using LastIdFilter = int (*)(int id, void* userData);

    IDataNeededHander(CPhraseStore* phraseStore, CSCVWndClipboardHandler* clipboardHandler);
    IDataNeededHander(const IDataNeededHander&) = delete;
    IDataNeededHander& operator=(const IDataNeededHander&) = delete;

    // Frees the cached menu fonts.
    virtual void ClearFonts_Internal() = 0;
    // 1 for a builder that shows the menu itself.
    virtual int IsMenuShownBySelf() = 0;
    // True while the builder's menu is on screen.
    virtual bool IsMenuAlive() = 0;
    // Shows the menu for one target query; the choice goes back to the tray window.
    virtual void OnDataNeeded(SVQuery& query, SVAnswer& answer) = 0;
    // 1 for a builder that fills the answer document with the menu's items.
    virtual int IsAnswerFilled() = 0;
    virtual ~IDataNeededHander();

    // The three target values of a request.
    void SetTargetInfo(LANGID languageId, const CString& selectedText, HWND target);
    LANGID GetTargetLangId() const { return static_cast<LANGID>(m_targetLangId); }
    const CString& GetSelectedText() const { return m_selectedText; }
    HWND GetTargetWindow() const { return m_targetWindow; }

    // The clipboard text of the request (stored by the tray window when it asks for the target).
    void SetClipboardText(const CString& text) { m_clipboardText = text; }
    const CString& GetClipboardText() const { return m_clipboardText; }

    void SetLastIdFilter(LastIdFilter filter, void* userData);
    // Makes the id the newest last used one: the filter, when set, must accept it; the list becomes
    // the id followed by the old ids without it, cut to "AddLastUsedMenuToBegin_Count" entries.
    // False (nothing changed) when the filter refuses the id.
    bool SetLastID(int id);
    int GetLastUsedId() const { return m_lastUsedId; }
    const std::vector<int>& GetLastUsedIds() const { return m_lastUsedIds; }

    // The last-used phrases by the paths of their files: a reload of the phrase store gives every
    // record a new id, so the list is taken before it and given back after it.
    struct LastUsedPaths
    {
        std::vector<CString> paths; // newest first
        CString lastUsed;           // the path of GetLastUsedId's phrase
    };
    LastUsedPaths SaveLastUsedPaths() const;
    // The phrase store's records at those paths give the new ids; an entry whose phrase is gone is
    // dropped with a log line.
    void RestoreLastUsedPaths(const LastUsedPaths& saved);

    // BuildHistorySubMenuCaption (engine/MenuCaptions.h) for the history's item count, which the
    // builder reads from its clipboard watcher.
    CString GetHistorySubMenuCaption(int itemCount) const;

    CPhraseStore* GetPhraseStore() const { return m_phraseStore; }
    CSCVWndClipboardHandler* GetClipboardHandler() const { return m_clipboardHandler; }

protected:
    std::vector<int> m_lastUsedIds; // newest first
    int m_lastUsedId = -1;
    CString m_selectedText;
    int m_targetLangId = 0;
    HWND m_targetWindow = nullptr;
    LastIdFilter m_lastIdFilter = nullptr;
    void* m_lastIdFilterData = nullptr;
    CPhraseStore* m_phraseStore = nullptr;                 // not owned
    CSCVWndClipboardHandler* m_clipboardHandler = nullptr; // not owned
    CString m_clipboardText;
};

// The selected text of a target query: its text when the query says the text was extracted or
// read (state 1 or 2), else "".
CString GetTargetSelectedText(const CString& selectedText, int selectedTextState);
template <typename Query>
CString GetTargetSelectedText(const Query& query)
{
    return GetTargetSelectedText(query.SelText, query.StateSelText);
}

// The setting "AddLastUsedMenuToBegin".
bool IsAddLastUsedMenuToBegin();
