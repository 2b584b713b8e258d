#include "editor/app/document/Doc.h"

#include "common/SharedLog.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNCREATE(CDoc, CDocument)

namespace
{

const CRuntimeClass* g_textViewClass = nullptr;
bool g_textViewClassSet = false;
CEditorPhraseStore* g_store = nullptr;
CEditorSettings* g_settings = nullptr;

} // namespace

CDoc::CDoc() : m_store(g_store), m_settings(g_settings)
{
    GetStore().SetBodyConflictHandler(
        [this](const PhraseItemRecord& item, const CString&) { return AskKeepEditorText(item); });
}

CDoc::~CDoc()
{
    GetStore().SetBodyConflictHandler(nullptr);
}

void CDoc::UseServices(CEditorPhraseStore* store, CEditorSettings* settings)
{
    g_store = store;
    g_settings = settings;
}

void CDoc::SetTextViewClass(const CRuntimeClass* cls)
{
    g_textViewClass = cls;
    g_textViewClassSet = true;
}

const CRuntimeClass* CDoc::GetTextViewClass()
{
    if (!g_textViewClassSet)
        return CRuntimeClass::FromName("CSCVView");
    return g_textViewClass;
}

CEditorPhraseStore& CDoc::GetStore()
{
    return m_store ? *m_store : GetEditorPhraseStore();
}

CEditorSettings& CDoc::GetSettings()
{
    return m_settings ? *m_settings : GetEditorSettings();
}

BOOL CDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    m_listenersRegistered = true;
    CEditorPhraseStore& store = GetStore();
    int included = 0;
    int all = 0;
    store.CountItems(&included, &all);
    if (all == 0)
        return TRUE;
    PhraseItemRecord* record = store.FindItemByPath(GetSettings().LastFile);
    if (!record)
        return TRUE;
    if (!GetSettings().ShowUncheckedPhrases && !CEditorPhraseStore::IsIncluded(*record)) {
        record = FindFirstShownRecord();
        if (!record)
            return TRUE;
    }
    UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(record->id));
    return TRUE;
}

BOOL CDoc::OnOpenDocument(LPCWSTR lpszPathName)
{
    m_listenersRegistered = true;
    return CDocument::OnOpenDocument(lpszPathName);
}

void CDoc::AddUpdateListener(IDocUpdateListener* listener)
{
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void CDoc::RemoveUpdateListener(IDocUpdateListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void CDoc::UpdateViewsForItem(CView* sender, LPARAM hint, CObject* object)
{
    if (hint == kHintSelect) {
        if (m_currentItem != -1 && !SavePendingEdit()) {
            RestoreSelection();
            return;
        }
        m_currentItem = IdFromHintObject(object);
        PhraseItemRecord* record = GetStore().FindItemById(static_cast<int>(m_currentItem));
        SwapMainView(record && !record->IsFolder(), false);
        ShowStatusText(record ? record->GetPath() : CString());
        if (record)
            RememberLastFile(record->GetPath());
    } else if (hint == kHintFileRenamed) {
        if (PhraseItemRecord* record = GetStore().FindItemById(static_cast<int>(m_currentItem))) {
            RememberLastFile(record->GetPath());
            ShowStatusText(record->GetPath());
        }
    }
    UpdateAllViews(sender, hint, object);
    HWND senderWindow = sender ? sender->m_hWnd : nullptr;
    // A listener may leave the list while it is told: walk a copy.
    const std::vector<IDocUpdateListener*> listeners = m_listeners;
    for (IDocUpdateListener* listener : listeners) {
        if (senderWindow && listener->GetListenerWindow() == senderWindow)
            continue;
        listener->OnDocUpdate(sender, hint, object);
    }
}

void CDoc::RestoreSelection()
{
    const std::vector<IDocUpdateListener*> listeners = m_listeners;
    for (IDocUpdateListener* listener : listeners)
        listener->OnDocUpdate(nullptr, kHintSelect, HintObjectFromId(m_currentItem));
}

CView* CDoc::GetMainView() const
{
    for (CView* view : GetViews())
        if (view && ::GetDlgCtrlID(view->m_hWnd) == static_cast<int>(AFX_IDW_PANE_FIRST))
            return view;
    return GetViews().empty() ? nullptr : GetViews().front();
}

void CDoc::SwapMainView(bool wantTextView, bool activate)
{
    CView* old = GetMainView();
    if (!old || !old->m_hWnd)
        return;
    const bool isList = std::string(old->GetRuntimeClass()->m_lpszClassName) == "CFolderView";
    if (isList == !wantTextView)
        return;
    const CRuntimeClass* cls = wantTextView ? GetTextViewClass() : CRuntimeClass::FromName("CFolderView");
    if (!cls) {
        if (wantTextView)
            return; // no text view in this build: the list stays
        WriteLogLine(L"CDoc::SwapMainView: the folder view class is missing");
        return;
    }
    CFrameWnd* frame = old->GetParentFrame();
    if (!frame)
        return;
    const int id = ::GetDlgCtrlID(old->m_hWnd);
    ::ShowWindow(old->m_hWnd, SW_HIDE);
    ::SetWindowLongPtrW(old->m_hWnd, GWLP_ID, 0);
    CCreateContext context;
    context.m_pNewViewClass = cls;
    context.m_pCurrentDoc = this;
    context.m_pCurrentFrame = frame;
    CView* created = frame->CreateView(&context, id);
    if (!created) {
        WriteLogLine(L"CDoc::SwapMainView: the new view could not be created");
        ::SetWindowLongPtrW(old->m_hWnd, GWLP_ID, id);
        ::ShowWindow(old->m_hWnd, SW_SHOWNOACTIVATE);
        return;
    }
    created->OnInitialUpdate();
    frame->SetActiveView(created, activate ? TRUE : FALSE);
    ::DestroyWindow(old->m_hWnd); // the view leaves the document and deletes itself
    ::SetWindowLongPtrW(created->m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST);
    ::ShowWindow(created->m_hWnd, SW_SHOWNOACTIVATE);
    frame->RecalcLayout();
}

void CDoc::RememberLastFile(const CString& path)
{
    CEditorSettings& settings = GetSettings();
    if (path.IsEmpty() || path.CompareNoCase(settings.LastFile) == 0)
        return;
    settings.LastFile = path;
    settings.SaveEditor();
}

void CDoc::ShowStatusText(const CString& text)
{
    CWinApp* app = CWinApp::GetApp();
    CWnd* main = app ? app->GetMainWnd() : nullptr;
    if (main && main->m_hWnd)
        SendEditorStatusText(main->m_hWnd, text.GetString());
}
