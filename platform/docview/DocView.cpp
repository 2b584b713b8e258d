#include "platform/docview/DocView.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/CAppModule.h"
#include "platform/DeferredDeletion.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CListView, CView)
IMPLEMENT_DYNAMIC(CScrollView, CView)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

// --- CDocument
// ---------------------------------------------------------------------------------------------------

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCWSTR lpszPathName)
{
    if (!OnNewDocument())
        return FALSE;
    m_strPathName = lpszPathName;
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCWSTR)
{
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    return OnSaveDocument(m_strPathName);
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    return DoFileSave();
}

void CDocument::OnCloseDocument()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    std::vector<HWND> frames;
    for (CView* view : m_views) {
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame->m_hWnd) == frames.end())
            frames.push_back(frame->m_hWnd);
    }
    for (HWND frame : frames)
        ::DestroyWindow(frame);
    DeleteContents();
    auto* single = dynamic_cast<CSingleDocTemplate*>(m_pDocTemplate);
    if (single)
        single->RemoveDocument(this);
    DeferredDeletion::DeleteAfterDispatch(this); // the close may have come from one of its commands
}

void CDocument::AddView(CView* pView)
{
    if (!pView || std::find(m_views.begin(), m_views.end(), pView) != m_views.end())
        return;
    m_views.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_views.begin(), m_views.end(), pView);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // a view may leave the document while it is told: walk a copy
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        if (view != pSender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::SetTitle(LPCWSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    for (CView* view : m_views) {
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->OnUpdateFrameTitle(TRUE);
    }
}

// --- CView
// -------------------------------------------------------------------------------------------------------

BOOL CView::Create(HWND hParent, UINT nID, CCreateContext* pContext, DWORD dwStyle, const RECT& rect)
{
    return CreateEx(0, nullptr, dwStyle, rect, hParent, nID, pContext);
}

BOOL CView::PreCreateWindow(CREATESTRUCTW& cs)
{
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

LRESULT CView::OnCreateMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return OnCreate(cs) == -1 ? -1 : 0;
}

LRESULT CView::OnPaintMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!PaintsWithOnDraw()) {
        bHandled = FALSE;
        return 0;
    }
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    OnDraw(hdc);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CView::OnMouseActivateMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
    return 0;
}

LRESULT CView::OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() == this)
        frame->SetActiveView(nullptr, FALSE);
    if (m_pDocument)
        m_pDocument->RemoveView(this);
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CView::OnFinalMessage(HWND)
{
    DeferredDeletion::DeleteAfterDispatch(this);
}

// --- CScrollView
// ---------------------------------------------------------------------------------------------------

POINT CScrollView::GetDeviceScrollPosition() const
{
    return POINT{::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT)};
}

// --- CListView
// ---------------------------------------------------------------------------------------------------

CWndClassInfo& CListView::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, 0, nullptr, WC_LISTVIEWW);
    return info;
}

BOOL CListView::PreCreateWindow(CREATESTRUCTW& cs)
{
    cs.style |= LVS_REPORT | LVS_SHAREIMAGELISTS;
    return CView::PreCreateWindow(cs);
}

// --- CDocTemplate
// ------------------------------------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    const wchar_t* text = nullptr;
    int length =
        ::LoadStringW(_Module.GetResourceInstance(), nIDResource, reinterpret_cast<LPWSTR>(&text), 0);
    if (length > 0 && text)
        m_strDocStrings = CString(text, length);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        int next = m_strDocStrings.Find(L'\n', start);
        if (next < 0)
            return FALSE;
        start = next + 1;
    }
    int end = m_strDocStrings.Find(L'\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return !rString.IsEmpty();
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    if (!pDocument)
        return;
    CString title;
    if (!GetDocString(title, docName))
        title = L"Untitled";
    pDocument->SetTitle(title);
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* object = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = dynamic_cast<CDocument*>(object);
    if (!doc) {
        delete object;
        return nullptr;
    }
    doc->m_pDocTemplate = this;
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CObject* object = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(object);
    if (!frame) {
        delete object;
        return nullptr;
    }
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        delete frame; // a frame that could not be made stays ours
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame)
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

// --- CSingleDocTemplate
// ------------------------------------------------------------------------------------------

CSingleDocTemplate::~CSingleDocTemplate()
{
    delete m_pOnlyDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible)
{
    if (m_pOnlyDoc) {
        // the one document is reused: saved when modified, then opened anew
        CDocument* doc = m_pOnlyDoc;
        if (!doc->SaveModified())
            return nullptr;
        SetDefaultTitle(doc);
        BOOL ok = lpszPathName ? doc->OnOpenDocument(lpszPathName) : doc->OnNewDocument();
        if (!ok)
            return nullptr;
        for (CView* view : doc->GetViews())
            view->OnInitialUpdate();
        return doc;
    }
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    m_pOnlyDoc = doc;
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
        m_pOnlyDoc = nullptr;
        delete doc;
        return nullptr;
    }
    SetDefaultTitle(doc);
    BOOL ok = lpszPathName ? doc->OnOpenDocument(lpszPathName) : doc->OnNewDocument();
    if (!ok) {
        ::DestroyWindow(frame->m_hWnd);
        if (m_pOnlyDoc == doc) {
            m_pOnlyDoc = nullptr;
            delete doc;
        }
        return nullptr;
    }
    CWinApp* app = CWinApp::GetApp();
    if (app && !app->GetMainWnd())
        app->SetMainWnd(frame);
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
