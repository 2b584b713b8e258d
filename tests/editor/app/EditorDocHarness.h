#pragma once
// The editor's document as tests host it: a phrase store on a temp folder, settings in a temp
// program folder, an application object whose template makes the document, a frame of the given
// class and the folder list as first view; the given class stands for the phrase text view.

#include "editor/app/Doc.h"
#include "editor/app/EditorPhraseStore.h"
#include "editor/app/FolderView.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

namespace scvtest
{

class EditorDocHarness
{
public:
    EditorDocHarness() { store.Load(temp.CreateSubfolder(L"phrases").c_str()); }
    ~EditorDocHarness() { Close(); }
    EditorDocHarness(const EditorDocHarness&) = delete;
    EditorDocHarness& operator=(const EditorDocHarness&) = delete;

    // Opens the document; false when the document or its frame is missing.
    bool Open(const CRuntimeClass* frameClass, const CRuntimeClass* textViewClass)
    {
        settings.LoadEditor();
        CDoc::UseServices(&store, &settings);
        CDoc::SetTextViewClass(textViewClass);
        app.AddDocTemplate(
            new CSingleDocTemplate(0, RUNTIME_CLASS(CDoc), frameClass, RUNTIME_CLASS(CFolderView)));
        doc = dynamic_cast<CDoc*>(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE));
        frame = dynamic_cast<CFrameWnd*>(app.GetMainWnd());
        return doc && frame;
    }
    // Closes the frame as the user would (the document saves what it holds) and lets go of the services.
    void Close()
    {
        if (frame && ::IsWindow(frame->m_hWnd)) {
            app.SetMainWnd(nullptr);
            ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
        }
        frame = nullptr;
        CDoc::UseServices(nullptr, nullptr);
        CDoc::SetTextViewClass(nullptr);
    }
    void Select(INT_PTR id, CView* sender = nullptr)
    {
        doc->UpdateViewsForItem(sender, kHintSelect, HintObjectFromId(id));
    }

    TempFolder temp;
    TempSettingsEnvironment environment{temp};
    CEditorSettings settings{environment};
    CEditorPhraseStore store;
    CWinApp app;
    CDoc* doc = nullptr;
    CFrameWnd* frame = nullptr;
};

} // namespace scvtest
