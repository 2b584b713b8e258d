#pragma once

// The editor's document: the phrase library shown in the main view. It keeps no file of its own (the
// phrase store saves item by item). It holds the current item, carries every update hint between the
// views and the other listeners (the phrases pane, the main frame), and swaps the main view between the
// folder list and the phrase text view.

#include "platform/docview/DocView.h"

#include <vector>

class CEditorPhraseStore;
class CEditorSettings;

// Update hints of the document (second argument of every update).
enum EditorHint : int
{
    kHintSelect = 1,
    kHintSavePending = 2,
    kHintKindChanged = 3,
    kHintLanguage = 4,
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
    kHintSeparators = 20,
    kHintMetaInfo = 21,
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

    BEGIN_MSG_MAP(CDoc)
    CHAIN_MSG_MAP(CDocument)
    END_MSG_MAP()

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCWSTR lpszPathName) override;

    // The update hub: hint 1 first saves the current phrase (hint 2), makes the item current and swaps the
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

private:
    CView* GetMainView() const;
    void RememberLastFile(const CString& path);
    void ShowStatusText(const CString& text);

    bool m_listenersRegistered = false;
    std::vector<IDocUpdateListener*> m_listeners;
    INT_PTR m_currentItem = -1;
    CEditorPhraseStore* m_store = nullptr;
    CEditorSettings* m_settings = nullptr;
};
