#pragma once
// The editor's document as tests host it: a phrase store on a temp folder, settings in a temp
// program folder, an application object whose template makes the document, a frame of the given
// class and the folder list as first view; the given class stands for the phrase text view.

#include "editor/app/document/Doc.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/phrases/FolderView.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

namespace scvtest
{

// `Frame` is the class the frame is read back as (`frame`).
template <class Frame>
class BasicEditorDocHarness
{
public:
    BasicEditorDocHarness() { store.Load(temp.CreateSubfolder(L"phrases").c_str()); }
    ~BasicEditorDocHarness() { Close(); }
    BasicEditorDocHarness(const BasicEditorDocHarness&) = delete;
    BasicEditorDocHarness& operator=(const BasicEditorDocHarness&) = delete;

    // Loads the settings and opens the document; false when the document or its frame is missing.
    bool Open(const CRuntimeClass* frameClass, const CRuntimeClass* textViewClass)
    {
        settings.LoadEditor();
        return OpenWithSettings(frameClass, textViewClass, 0);
    }
    // Opens the document over the settings as they stand; the frame loads resource set
    // `resourceId` (0: none).
    bool OpenWithSettings(const CRuntimeClass* frameClass, const CRuntimeClass* textViewClass,
                          UINT resourceId)
    {
        CDoc::UseServices(&store, &settings);
        CDoc::SetTextViewClass(textViewClass);
        app.AddDocTemplate(
            new CSingleDocTemplate(resourceId, RUNTIME_CLASS(CDoc), frameClass, RUNTIME_CLASS(CFolderView)));
        doc = dynamic_cast<CDoc*>(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE));
        frame = dynamic_cast<Frame*>(app.GetMainWnd());
        m_frameWindow = frame ? frame->m_hWnd : nullptr;
        return doc && frame;
    }
    // Closes the frame as the user would (the document saves what it holds) and lets go of the services.
    void Close() { End(false); }
    // Destroys the frame without asking (nothing unsaved is written) and lets go of the services.
    void Destroy() { End(true); }
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
    Frame* frame = nullptr;

private:
    // The frame is known by its window: a test may have destroyed it (and its object) already.
    void End(bool destroy)
    {
        if (m_frameWindow && ::IsWindow(m_frameWindow)) {
            app.SetMainWnd(nullptr);
            if (destroy)
                ::DestroyWindow(m_frameWindow);
            else
                ::SendMessageW(m_frameWindow, WM_CLOSE, 0, 0);
        }
        m_frameWindow = nullptr;
        frame = nullptr;
        CDoc::UseServices(nullptr, nullptr);
        CDoc::SetTextViewClass(nullptr);
    }

    HWND m_frameWindow = nullptr;
};

using EditorDocHarness = BasicEditorDocHarness<CFrameWnd>;

} // namespace scvtest
