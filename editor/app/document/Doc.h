#pragma once

// The editor's document: the phrase library shown in the main view. It keeps no file of its own (the
// phrase store saves item by item). It holds the current item, carries every update hint between the
// views and the other listeners (the phrases pane, the main frame), and swaps the main view between the
// folder list and the phrase text view.

#include "platform/CString.h"
#include "platform/docview/DocView.h"

#include <functional>
#include <vector>

class CEditorPhraseStore;
class CSCVView;
class CEditorSettings;
class PhraseItemRecord;

// Update hints of the document (second argument of every update).
enum EditorHint : int
{
    kHintSelect = 1,
    kHintSavePending = 2,
    kHintKindChanged = 3,
    kHintLanguage = 4,
    kHintPhraseMenuName = 5, // the object points at the new menu name (a CString)
    kHintFileRenamed = 6,
    kHintLibraryChanged = 7,
    kHintCheckAll = 8,
    kHintUncheckAll = 9,
    kHintInvertChecks = 10,
    kHintOpenPhrase = 11,
    kHintFocusTree = 12,
    kHintCommandK = 13,
    kHintShowUnchecked = 14,
    kHintChecksChanged = 16,
    kHintFolderReopened = 17,
    kHintPreview = 18,
    kHintTreeFont = 19,
    kHintSeparators = 20,
    kHintMetaInfo = 21,
    kHintNewPhraseNamed = 22, // a phrase the user just made got its name: its text is ready to type into
};

// The object of a hint is an item id (or a pointer for hint 16) carried in the object pointer.
inline CObject* HintObjectFromId(INT_PTR id)
{
    return reinterpret_cast<CObject*>(id);
}
inline INT_PTR IdFromHintObject(CObject* object)
{
    return reinterpret_cast<INT_PTR>(object);
}

// One (item id, checked) pair of hint 16.
struct CheckChange
{
    int id;
    bool checked;
};

// A listener of the document's updates beside its views.
class IDocUpdateListener
{
public:
    virtual ~IDocUpdateListener() = default;
    virtual HWND GetListenerWindow() = 0;
    virtual void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) = 0;
};

class CDoc : public CDocument
{
    DECLARE_DYNCREATE(CDoc)

public:
    CDoc();
    ~CDoc() override;

    // Commands of the current phrase's properties and of the library (DocCommands.cpp).
    enum : UINT
    {
        kCmdReread = 32800,
        kCmdPlainText = 32786,
        kCmdFormattedText = 32787,
        kCmdStartApplication = 32803,
        kCmdTestRun = 32804,
        kCmdCheckAll = 32808,
        kCmdUncheckAll = 32809,
        kCmdInvertCheck = 32810,
        kCmdCommandK = 32814,
        kCmdHideUnchecked = 32815,
        kCmdRenameFile = 32816,
        kCmdDisabledIsNoSelection = 32820,
        kCmdUseTitleOnly = 32830,
        kCmdSeparatorBefore = 32843,
        kCmdSeparatorAfter = 32844,
        kCmdPreview = 32841,
        kCmdShowMetaInfo = 32846,
        kCmdSave = 57603,
    };

    // Shows a message: owner, text, MB_ types, time-out in milliseconds (0: none); the pressed
    // button. Tests put a recorder in its place.
    using MessageBoxFunction =
        std::function<int(HWND owner, const CString& text, UINT type, DWORD timeoutMs)>;

    BEGIN_MSG_MAP(CDoc)
    COMMAND_ID_HANDLER(kCmdReread, OnReread)
    COMMAND_ID_HANDLER(kCmdPlainText, OnDataType)
    COMMAND_ID_HANDLER(kCmdFormattedText, OnDataType)
    COMMAND_ID_HANDLER(kCmdStartApplication, OnDataType)
    COMMAND_ID_HANDLER(kCmdTestRun, OnTestRun)
    COMMAND_ID_HANDLER(kCmdSave, OnSave)
    COMMAND_RANGE_HANDLER(kCmdCheckAll, kCmdInvertCheck, OnChecks)
    COMMAND_ID_HANDLER(kCmdCommandK, OnCommandK)
    COMMAND_ID_HANDLER(kCmdHideUnchecked, OnHideUnchecked)
    COMMAND_ID_HANDLER(kCmdRenameFile, OnRenameFile)
    COMMAND_ID_HANDLER(kCmdDisabledIsNoSelection, OnRecordFlag)
    COMMAND_ID_HANDLER(kCmdUseTitleOnly, OnRecordFlag)
    COMMAND_ID_HANDLER(kCmdSeparatorBefore, OnSeparator)
    COMMAND_ID_HANDLER(kCmdSeparatorAfter, OnSeparator)
    COMMAND_ID_HANDLER(kCmdPreview, OnViewSetting)
    COMMAND_ID_HANDLER(kCmdShowMetaInfo, OnViewSetting)
    UPDATE_COMMAND_UI_HANDLER(kCmdPlainText, OnUpdateDataType)
    UPDATE_COMMAND_UI_HANDLER(kCmdFormattedText, OnUpdateDataType)
    UPDATE_COMMAND_UI_HANDLER(kCmdStartApplication, OnUpdateDataType)
    UPDATE_COMMAND_UI_HANDLER(kCmdTestRun, OnUpdateTestRun)
    UPDATE_COMMAND_UI_HANDLER(kCmdHideUnchecked, OnUpdateHideUnchecked)
    UPDATE_COMMAND_UI_HANDLER(kCmdRenameFile, OnUpdateRenameFile)
    UPDATE_COMMAND_UI_HANDLER(kCmdDisabledIsNoSelection, OnUpdateRecordFlag)
    UPDATE_COMMAND_UI_HANDLER(kCmdUseTitleOnly, OnUpdateRecordFlag)
    UPDATE_COMMAND_UI_HANDLER(kCmdSeparatorBefore, OnUpdateRecordFlag)
    UPDATE_COMMAND_UI_HANDLER(kCmdSeparatorAfter, OnUpdateRecordFlag)
    UPDATE_COMMAND_UI_HANDLER(kCmdPreview, OnUpdateViewSetting)
    UPDATE_COMMAND_UI_HANDLER(kCmdShowMetaInfo, OnUpdateViewSetting)
    CHAIN_MSG_MAP(CDocument)
    END_MSG_MAP()

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCWSTR lpszPathName) override;
    // Modified while the phrase text view is the main view and holds unsaved text, and while writes the
    // user chose to keep only in the editor are still unwritten.
    BOOL IsModified() override;
    // Saves the current phrase's text (hint 2), writes again the files kept unwritten and waits for the
    // writes; failures are reported (ReportFailedSaves). FALSE when anything is left unwritten.
    BOOL OnSaveDocument(LPCWSTR lpszPathName) override;
    // Before a close: saves, and when the save failed asks whether to close without the unsaved text.
    BOOL SaveModified() override;

    // Writes the text view's pending edit of the current phrase (hint 2). While the write fails the user
    // is told which file could not be written and why, and may try again. False when the text is still
    // unsaved (the user cancelled): it stays in the view, modified.
    bool SavePendingEdit();
    // Tells the user of the queued writes that failed (each file with the system's reason) and writes
    // them again while the user asks to retry. Those the user cancels stay unwritten: the next save
    // writes them again and closing asks.
    void ReportFailedSaves();
    // Asked when a phrase's text changed both here and in its file: true keeps the editor's text.
    bool AskKeepEditorText(const PhraseItemRecord& item);

    // The update hub: hint 1 first saves the current phrase (hint 2; a save the user gave up on keeps
    // the current item, and the listeners hear hint 1 for it again), makes the item current and swaps the
    // main view; then the views (sender excluded) and the listeners (the sender's window excluded) hear it.
    void UpdateViewsForItem(CView* sender, LPARAM hint, CObject* object);
    INT_PTR GetCurrentItem() const { return m_currentItem; }
    // Forgets the current item without saving it (the library is about to be replaced).
    void ForgetCurrentItem() { m_currentItem = -1; }
    void AddUpdateListener(IDocUpdateListener* listener);
    void RemoveUpdateListener(IDocUpdateListener* listener);

    // Makes the main view the phrase text view or the folder list; nothing when it already is.
    void SwapMainView(bool wantTextView, bool activate);
    // The class of the phrase text view ("CSCVView" by default, looked up by name); null keeps the list.
    static void SetTextViewClass(const CRuntimeClass* cls);
    static const CRuntimeClass* GetTextViewClass();

    // The store and settings that documents made from now on work on; null for the editor's own.
    static void UseServices(CEditorPhraseStore* store, CEditorSettings* settings);
    CEditorPhraseStore& GetStore();
    CEditorSettings& GetSettings();

    // Reads the library again from the phrases folder. The current phrase's edit is saved first and the
    // document lets go of its item and shows the list before the load (the load gives new ids); the item
    // is selected again afterwards when its file is still there.
    void Reread();
    // Sets the current phrase's data type (0 plain, 1 formatted, 2 start as application); nothing when
    // it already has it. True when it changed.
    bool SetCurrentDataType(int type);
    // Renames the current phrase's file after its title inside its own folder. True when renamed.
    bool RenameCurrentFile();

    // The current phrase as it would be pasted (the text view's preview and Test Run); the pending
    // edit is saved first. A start-as-application phrase gives its command line, and with `show` it
    // is run. Plain and formatted text give the expanded text (formatted text as plain text, the
    // selected text standing as "[Selected Text]"); with `show` the layout a macro would activate is
    // named and the text comes after the Test Run heading. Empty for no phrase.
    CString BuildPhrasePreview(bool show);
    // Test Run: a command phrase is run, a text phrase's preview is shown in a box that closes
    // itself after 30 seconds. False for no phrase.
    bool TestRun();
    // A new plain-text phrase at the top of the library from the text the main program published as
    // selected; its menu name is made from the text. Without a text the user is told so. True when
    // a phrase was made.
    bool NewPhraseFromSelectedText();

    // The message box of the document's commands (null: the system's).
    static void SetMessageBox(MessageBoxFunction box);

private:
    PhraseItemRecord* GetCurrentRecord();
    PhraseItemRecord* GetCurrentPhrase(); // null for a group
    // The first top-level record the tree shows while unchecked phrases are hidden; null for none.
    PhraseItemRecord* FindFirstShownRecord();
    LRESULT OnReread(WORD, WORD, HWND, BOOL&);
    LRESULT OnDataType(WORD, WORD id, HWND, BOOL&);
    LRESULT OnTestRun(WORD, WORD, HWND, BOOL&);
    LRESULT OnSave(WORD, WORD, HWND, BOOL&);
    LRESULT OnChecks(WORD, WORD id, HWND, BOOL&);
    LRESULT OnCommandK(WORD, WORD, HWND, BOOL&);
    LRESULT OnHideUnchecked(WORD, WORD, HWND, BOOL&);
    LRESULT OnRenameFile(WORD, WORD, HWND, BOOL&);
    LRESULT OnRecordFlag(WORD, WORD id, HWND, BOOL&);
    LRESULT OnSeparator(WORD, WORD id, HWND, BOOL&);
    LRESULT OnViewSetting(WORD, WORD id, HWND, BOOL&);
    void OnUpdateDataType(CCmdUI* ui);
    void OnUpdateTestRun(CCmdUI* ui);
    void OnUpdateHideUnchecked(CCmdUI* ui);
    void OnUpdateRenameFile(CCmdUI* ui);
    void OnUpdateRecordFlag(CCmdUI* ui);
    void OnUpdateViewSetting(CCmdUI* ui);

    CView* GetMainView() const;
    void RememberLastFile(const CString& path);
    void ShowStatusText(const CString& text);
    HWND GetMainWindow() const;
    int ShowMessage(const CString& text, UINT type, DWORD timeoutMs);
    // The text view when it is the main view, else null.
    CSCVView* GetTextView() const;
    // The listeners (not the views) hear hint 1 for the current item: the tree shows it selected again.
    void RestoreSelection();

    bool m_listenersRegistered = false;
    bool m_reportingSaves = false;
    // Files whose failed writes the user chose to keep only in the editor.
    std::vector<CString> m_unwritten;
    std::vector<IDocUpdateListener*> m_listeners;
    INT_PTR m_currentItem = -1;
    CEditorPhraseStore* m_store = nullptr;
    CEditorSettings* m_settings = nullptr;
};
