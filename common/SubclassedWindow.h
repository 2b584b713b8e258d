#pragma once

// Base of every control the program takes over as an object with a message
// map: the object stands in for the window procedure, and what its map leaves
// unhandled goes to the window's previous procedure.
//
//   class CMyControl : public CSubclassedWindow
//   {
//   public:
//       BEGIN_MSG_MAP(CMyControl)
//           MESSAGE_HANDLER(WM_PAINT, OnPaint)
//       END_MSG_MAP()
//   };
//   control.SubclassWindow(GetDlgItem(dialog, id));
//
// Inside a handler, DefWindowProc() passes the message being handled to the
// previous procedure. After the window's last message (WM_NCDESTROY) the
// previous procedure is put back when nothing else has replaced the window's
// procedure since, the handle is cleared and OnFinalMessage(old handle) runs.

#include "platform/CWindowImpl.h"

class CSubclassedWindow : public CWindowImplBaseT<CWindow>
{
public:
    CSubclassedWindow() = default;
    virtual ~CSubclassedWindow() = default;
};
