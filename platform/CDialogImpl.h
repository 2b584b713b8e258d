#pragma once
// Dialog objects: a class derived from CDialogImpl<T> names its dialog template resource in an enum or constant
// IDD and has a message map (see CMessageMap.h); CDialogImplCore.h describes how messages flow.
//
//   class CMyDialog : public CDialogImpl<CMyDialog>
//   {
//   public:
//       enum { IDD = IDD_MY_DIALOG };
//       BEGIN_MSG_MAP(CMyDialog)
//           MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
//           COMMAND_ID_HANDLER(IDOK, OnClose)
//           COMMAND_ID_HANDLER(IDCANCEL, OnClose)
//       END_MSG_MAP()
//       LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&);   // lParam = the init parameter
//       LRESULT OnClose(WORD, WORD wID, HWND, BOOL&) { EndDialog(wID); return 0; }
//   };
//
// Templates are loaded from _Module.GetResourceInstance(). DoModalIndirect/CreateIndirect take a template built in
// memory instead.

#include <windows.h>

#include "platform/CDialogImplCore.h"
#include "platform/CMessageMap.h"
#include "platform/CWindow.h"

template <class T, class TBase = CWindow>
class CDialogImpl : public TBase, public CDialogImplCore
{
public:
    CDialogImpl() = default;
    virtual ~CDialogImpl() { ReleaseDialog(); }

    // Runs the dialog modally; returns the EndDialog code, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0)
    {
        return DoModalCore(MAKEINTRESOURCEW(T::IDD), nullptr, hWndParent, dwInitParam);
    }
    INT_PTR DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND hWndParent = ::GetActiveWindow(),
                            LPARAM dwInitParam = 0)
    {
        return DoModalCore(nullptr, dialogTemplate, hWndParent, dwInitParam);
    }
    // Creates the dialog modeless; null on failure.
    HWND Create(HWND hWndParent, LPARAM dwInitParam = 0)
    {
        return CreateCore(MAKEINTRESOURCEW(T::IDD), nullptr, hWndParent, dwInitParam);
    }
    HWND CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND hWndParent, LPARAM dwInitParam = 0)
    {
        return CreateCore(nullptr, dialogTemplate, hWndParent, dwInitParam);
    }

protected:
    HWND& WindowHandle() override { return this->m_hWnd; }
};
