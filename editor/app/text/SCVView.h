#pragma once
// The main view while a phrase is current: the phrase's body in a PhraseTextEdit under the phrase
// text toolbar, with an optional preview pane that shows the phrase as it would be pasted. The view
// loads a phrase read-only, writes the edited body back into the record and its file, and keeps the
// edit's modify flag set until the file is written.
//
// Update hints (the hint object carries the phrase id): 1 show, 2 save when modified, 3 save and
// refresh, 4 repaint, 11 focus, 13 focus and macro menu, 16 read-only from the included flag,
// 17 clear, 18 preview switched.

#include "editor/app/document/Doc.h"
#include "common/OwnWindowMessages.h"
#include "editor/app/text/PhraseTextEdit.h"
#include "editor/controls/PhraseTextToolBar.h"
#include "platform/CString.h"
#include "platform/docview/DocView.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

class CEditorPhraseStore;

// Hint numbers of the phrase text view.
enum PhraseViewHint : LPARAM
{
    kHintShowPhrase = 1,
    kHintSaveIfModified = 2,
    kHintSaveAndRefresh = 3,
    kHintRepaint = 4,
    kHintMenuName = 5,
    kHintFocusEdit = 11,
    // 12 is the document's kHintFocusTree.
    kHintFocusAndMacroMenu = 13,
    kHintReadOnlyFromIncluded = 16,
    kHintClear = 17,
    kHintPreviewSwitched = 18,
    kHintWritable = 22, // the document's kHintNewPhraseNamed: read-only off for the phrase shown
};

// Clears ENM_CHANGE and ENM_SELCHANGE while it lives; ORs them back afterwards.
class EditEventMaskGuard
{
public:
    explicit EditEventMaskGuard(HWND richEdit);
    ~EditEventMaskGuard();
    EditEventMaskGuard(const EditEventMaskGuard&) = delete;
    EditEventMaskGuard& operator=(const EditEventMaskGuard&) = delete;

private:
    HWND m_window;
    std::vector<DWORD> m_removed;
};

// Time, timers and the keyboard layout as the view sees them; tests replace it.
class PhraseViewClock
{
public:
    virtual ~PhraseViewClock() = default;
    virtual ULONGLONG Now() { return ::GetTickCount64(); }
    virtual void StartTimer(HWND window, UINT_PTR id, UINT milliseconds)
    {
        ::SetTimer(window, id, milliseconds, nullptr);
    }
    virtual void StopTimer(HWND window, UINT_PTR id) { ::KillTimer(window, id); }
    virtual HKL KeyboardLayout() { return ::GetKeyboardLayout(0); }
};

class CSCVView : public CView
{
    DECLARE_DYNCREATE(CSCVView)

public:
    static constexpr UINT kToolbarId = 1030;
    static constexpr UINT kEditId = 1032;
    static constexpr UINT kPreviewId = 1033;
    static constexpr UINT_PTR kPreviewTimer = 3453;
    static constexpr UINT_PTR kLayoutTimer = 3454;
    static constexpr UINT kPreviewDelay = 700;
    static constexpr UINT kLayoutCheck = 500;

    using ConfirmFunction = std::function<int(HWND owner, const CString& text, UINT type)>;
    using PreviewFunction = std::function<CString(int phraseId)>;

    CSCVView();
    ~CSCVView() override;

    BEGIN_MSG_MAP(CSCVView)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    OWN_MESSAGE_HANDLER(PreviewMenuMessage(), OnPreviewMenu)
    COMMAND_HANDLER(kEditId, EN_CHANGE, OnEditChange)
    NOTIFY_HANDLER(kEditId, kPhraseEditTypingIntoReadOnly, OnTypingIntoReadOnly)
    NOTIFY_HANDLER(kEditId, EN_LINK, OnLink)
    NOTIFY_HANDLER(kToolbarId, TBN_DROPDOWN, OnToolbarDropDown)
    NOTIFY_HANDLER(kToolbarId, NM_CUSTOMDRAW, OnToolbarCustomDraw)
    COMMAND_RANGE_HANDLER(30100, 30149, OnInsertMacro)
    COMMAND_ID_HANDLER(57643, OnUndo)
    COMMAND_ID_HANDLER(57644, OnRedo)
    COMMAND_ID_HANDLER(57632, OnClear)
    COMMAND_ID_HANDLER(57635, OnCut)
    COMMAND_ID_HANDLER(57634, OnCopy)
    COMMAND_ID_HANDLER(57637, OnPaste)
    COMMAND_ID_HANDLER(57642, OnSelectAll)
    COMMAND_ID_HANDLER(32788, OnBold)
    COMMAND_ID_HANDLER(32789, OnItalic)
    COMMAND_ID_HANDLER(32790, OnUnderline)
    COMMAND_ID_HANDLER(32793, OnIntoMenuName)
    COMMAND_ID_HANDLER(32828, OnInsertTab)
    COMMAND_ID_HANDLER(32802, OnInsertMacroMenu)
    COMMAND_ID_HANDLER(32801, OnDataFormatMenu)
    COMMAND_ID_HANDLER(32837, OnToggleReadOnly)
    COMMAND_ID_HANDLER(32812, OnMacroDocumentation)
    UPDATE_COMMAND_UI_HANDLER(57643, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57644, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57632, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57635, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57634, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57637, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(57642, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_RANGE_HANDLER(32788, 32790, OnUpdateEffect)
    UPDATE_COMMAND_UI_HANDLER(32793, OnUpdateEditCommand)
    UPDATE_COMMAND_UI_HANDLER(32837, OnUpdateReadOnly)
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP(CView)
    END_MSG_MAP()

    int OnCreate(CREATESTRUCTW* cs) override;
    // Tab in the edit moves the focus to the phrase tree (hint 12 through the active document);
    // every other message first brings the toolbar's buttons up to date.
    BOOL PreTranslateMessage(MSG* msg) override;
    // The view's own commands, then its document's (the data-format menu's items and Test Run).
    BOOL OnCmdMsg(UINT id, int code, void* extra) override;
    // Posted by the preview pane when the right mouse button is released over it.
    static UINT PreviewMenuMessage();
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override;
    // The hint object that carries a phrase id.
    static CObject* PhraseHint(int id) { return reinterpret_cast<CObject*>(static_cast<INT_PTR>(id)); }

    // Hosting: the phrase store, the preview text source, the question box, time and the
    // notification of a saved phrase. Without a store every phrase is unknown.
    void SetPhraseStore(CEditorPhraseStore* store) { m_store = store; }
    void SetPreviewSource(PreviewFunction source) { m_previewSource = std::move(source); }
    void SetConfirm(ConfirmFunction confirm) { m_confirm = std::move(confirm); }
    void SetClock(PhraseViewClock* clock) { m_clock = clock ? clock : &m_defaultClock; }
    void SetSavedCallback(std::function<void(int)> saved) { m_saved = std::move(saved); }
    void SetPreviewEnabled(bool on) { m_previewEnabled = on; }

    void ShowPhrase(int id);
    // Writes the edit's text into the phrase and its file; the modify flag is cleared only when the
    // file was written. A failed write is remembered (FailedSavePath, FailedSaveError).
    bool SavePhrase();
    // The file of the last failed write and the system's error code of it.
    const CString& FailedSavePath() const { return m_failedPath; }
    DWORD FailedSaveError() const { return m_failedError; }
    void ClearText();
    void SetReadOnly(bool on);
    void InsertMacro(int index);
    void RefreshPreviewNow();
    // The menu name of the last Into Menu Name command.
    const CString& LastMenuName() const { return m_menuName; }
    // Enabled and checked states of the toolbar's buttons from the view's state.
    void UpdateToolbarStates();
    // A phrase is shown and its edit holds text not yet written to its file.
    bool HasUnsavedText() const;

    int CurrentPhrase() const { return m_phraseId; }
    PhraseTextEdit& Edit() { return *m_edit; }
    PhraseTextToolBar& ToolBar() { return m_toolbar; }
    HWND Preview() const { return m_preview; }
    int PreviewRefreshCount() const { return m_previewRefreshes; }
    // One timer step (WM_TIMER goes here).
    void OnTimerStep(UINT_PTR id);

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnEditChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnTypingIntoReadOnly(int, NMHDR*, BOOL&);
    LRESULT OnLink(int, NMHDR* header, BOOL& handled);
    LRESULT OnToolbarDropDown(int, NMHDR* header, BOOL&);
    LRESULT OnToolbarCustomDraw(int, NMHDR* header, BOOL&);
    LRESULT OnInsertMacro(WORD, WORD id, HWND, BOOL&);
    LRESULT OnUndo(WORD, WORD, HWND, BOOL&);
    LRESULT OnRedo(WORD, WORD, HWND, BOOL&);
    LRESULT OnClear(WORD, WORD, HWND, BOOL&);
    LRESULT OnCut(WORD, WORD, HWND, BOOL&);
    LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
    LRESULT OnPaste(WORD, WORD, HWND, BOOL&);
    LRESULT OnSelectAll(WORD, WORD, HWND, BOOL&);
    LRESULT OnBold(WORD, WORD, HWND, BOOL&);
    LRESULT OnItalic(WORD, WORD, HWND, BOOL&);
    LRESULT OnUnderline(WORD, WORD, HWND, BOOL&);
    LRESULT OnIntoMenuName(WORD, WORD, HWND, BOOL&);
    LRESULT OnInsertTab(WORD, WORD, HWND, BOOL&);
    LRESULT OnInsertMacroMenu(WORD, WORD, HWND, BOOL&);
    LRESULT OnDataFormatMenu(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleReadOnly(WORD, WORD, HWND, BOOL&);
    LRESULT OnMacroDocumentation(WORD, WORD, HWND, BOOL&);
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPreviewMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    void OnUpdateEditCommand(CCmdUI* ui);
    void OnUpdateEffect(CCmdUI* ui);
    void OnUpdateReadOnly(CCmdUI* ui);

    // The editor's document when the view belongs to one; it then provides the store, the preview
    // text and the Preview setting.
    CDoc* GetEditorDocument() const;
    void UseDocumentServices();
    bool WantsPreview() const;

    int CurrentFormat() const;
    void ColorIfPlain(bool wholeText);
    // The phrase became formatted text: its body is made from the shown plain text (not from the
    // coloured edit), shown again and saved.
    void ConvertShownTextToRtf();
    void UpdateDataFormatButton();
    void UpdateCueText();
    void CreatePreview();
    void DestroyPreview();
    void Layout(int width, int height);
    void ReplaceSelection(const CString& text);
    void ShowInsertMacroMenu();
    void ShowDataFormatMenu();
    // Opens the menu under a toolbar button, shown pressed meanwhile, with the view as owner.
    void TrackUnderButton(HMENU menu, UINT command);

    int m_phraseId = -1;
    HKL m_layout = nullptr;
    ULONGLONG m_lastChange = 0;
    std::unique_ptr<PhraseTextEdit> m_edit;
    HWND m_preview = nullptr;
    PhraseTextToolBar m_toolbar;
    CEditorPhraseStore* m_store = nullptr;
    PreviewFunction m_previewSource;
    ConfirmFunction m_confirm;
    std::function<void(int)> m_saved;
    PhraseViewClock m_defaultClock;
    PhraseViewClock* m_clock = &m_defaultClock;
    bool m_previewEnabled = false;
    int m_previousAnswer = IDCANCEL;
    int m_previewRefreshes = 0;
    CString m_menuName;
    int m_shownFormat = -1; // the data type the edit shows the phrase in
    CString m_failedPath;
    DWORD m_failedError = 0;
};
