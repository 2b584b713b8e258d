#pragma once
// Documents, views and the single-document template.
//
// A document keeps the list of its views and tells them of changes with UpdateAllViews(sender, hint, object):
// every view but the sender gets OnUpdate. A view joins its document when it is created with a CCreateContext
// naming it, and leaves it when its window is destroyed. Views, frames and documents delete themselves when
// their window is destroyed or the document closed, once no message is being handled on the thread
// (DeferredDeletion); a view or frame whose creation fails does not, and its creator deletes it. The
// single-document template makes the one document, its frame (LoadFrame with the context) and the first view
// (made by the frame from the context's view class).

#include <windows.h>

#include <vector>

#include "platform/CString.h"
#include "platform/CWndClassInfo.h"
#include "platform/docview/CmdTarget.h"
#include "platform/docview/Wnd.h"

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

// Pane id of a frame's main view.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900; // 59648

// What a frame and its first view are created from.
struct CCreateContext
{
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocument : public CCmdTarget, public CMessageMap
{
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument() = default;
    ~CDocument() override;

    BEGIN_MSG_MAP(CDocument)
    END_MSG_MAP()

    virtual BOOL OnNewDocument();
    // The document is not read from a file: the default opens a new one and keeps the path.
    virtual BOOL OnOpenDocument(LPCWSTR lpszPathName);
    // Saving without a dialog: writes to the kept path (which may be empty, the document then decides); the
    // default has nothing to write and succeeds. Clears the modified flag on success.
    virtual BOOL OnSaveDocument(LPCWSTR lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}

    virtual BOOL IsModified() { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
    // Called before the document is closed or replaced: saves a modified document without asking. FALSE stops
    // the close.
    virtual BOOL SaveModified();
    BOOL DoFileSave();

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_views; }
    virtual void OnChangedViewList() {}
    // OnUpdate(pSender, lHint, pHint) for every view but the sender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCWSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    CMessageMap* GetCommandMap() override { return this; }

    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;
    bool m_bClosing = false;
};

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)

public:
    BEGIN_MSG_MAP(CView)
    MESSAGE_HANDLER(WM_CREATE, OnCreateMsg)
    MESSAGE_HANDLER(WM_PAINT, OnPaintMsg)
    MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivateMsg)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroyMsg)
    END_MSG_MAP()

    // Creates the view as a child of the parent with the given id; the context names the document it joins.
    BOOL Create(HWND hParent, UINT nID, CCreateContext* pContext, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0});
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(HDC hdc) {}
    // WM_CREATE after the view joined its document; -1 stops the creation.
    virtual int OnCreate(CREATESTRUCTW* pcs) { return 0; }
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {}

    void OnFinalMessage(HWND hWnd) override;

protected:
    friend class CDocument;
    // False for views that are system controls (they paint themselves).
    virtual bool PaintsWithOnDraw() const { return true; }

    LRESULT OnCreateMsg(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnPaintMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnMouseActivateMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);

    CDocument* m_pDocument = nullptr;
};

// A view that is a list-view control ("SysListView32").
class CListView : public CView
{
    DECLARE_DYNAMIC(CListView)

public:
    CWndClassInfo& GetWndClassInfo() override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    CWindow GetListCtrl() const { return CWindow(m_hWnd); }

protected:
    bool PaintsWithOnDraw() const override { return false; }
};

// A view whose content is scrolled by its scroll bars: a point of its client area lies at the point
// plus the scroll position in the content.
class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)

public:
    // The horizontal and vertical scroll positions in pixels.
    POINT GetDeviceScrollPosition() const;
};

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)

public:
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);

    // The document (path null: a new one); null on failure.
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    // The part of the template's string (resource id, parts split by "\n") of that index; FALSE when empty.
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    // The document name of the strings, else "Untitled".
    virtual void SetDefaultTitle(CDocument* pDocument);

    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

    UINT GetResourceId() const { return m_nIDResource; }

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)

public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    CDocument* GetOnlyDocument() const { return m_pOnlyDoc; }
    void RemoveDocument(CDocument* pDoc);

protected:
    CDocument* m_pOnlyDoc = nullptr;
};
