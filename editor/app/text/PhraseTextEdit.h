#pragma once
// The rich-edit control in which the phrase text view shows and edits a phrase's body: a grey cue
// text while it is empty and unfocused, a read-only mode with its own background that reports typing
// to the parent, a context menu with the edit commands and the macro menu, a hand cursor only over
// real link characters, and an HTML tip that explains the macro under the resting mouse.

#include "editor/controls/CueTextPainter.h"
#include "editor/controls/HtmlToolTip.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

#include <windows.h>

#include <richedit.h>

// Notification codes the control sends to its parent (WM_NOTIFY).
constexpr UINT kPhraseEditTypingIntoReadOnly = 0x0B00;
// The strings of the cue texts: for texts to paste, and for applications to start.
constexpr UINT kCueTextTypeHere = 61210;
constexpr UINT kCueTextApplication = 136;

// True when a WM_KEYDOWN of the key is swallowed (and reported) while the text is read-only: every key
// except the caret keys (End, Home, arrows), Shift, Ctrl and Insert, unless Ctrl is held.
bool IsKeyBlockedWhenReadOnly(UINT virtualKey, bool ctrlHeld);
// The macro of the editor's table whose occurrence in `text` covers position `index`, else the input
// marker name whose span (start text to end text) covers it; empty when none does.
CString FindMacroAt(const CString& text, int index);
// The HTML text of the tip of a macro with its description.
CString BuildMacroTipHtml(const CString& macro, const CString& description);

class PhraseTextEdit : public CWindowImpl<PhraseTextEdit, CWindow>, public CResourceCueTextPainter
{
public:
    static constexpr UINT_PTR kTipTimer = 2342;
    static constexpr UINT kTipDelay = 500;

    DECLARE_WND_SUPERCLASS(L"ScvPhraseTextEdit", L"RichEdit20W")

    PhraseTextEdit();
    ~PhraseTextEdit() override;

    // Creates the control (WS_EX_CLIENTEDGE added); loads the rich-edit library first.
    HWND CreateEdit(HWND parent, const RECT& rect, UINT id, DWORD style);

    void SetReadOnly(bool on);
    bool IsReadOnly() const { return m_readOnly; }
    int GetBackgroundColorIndex() override { return m_readOnly ? COLOR_BTNFACE : COLOR_WINDOW; }
    bool HasSelection() const;
    // Nothing when read-only; else deletes the selection (undoable) and sets the modify flag.
    void Clear();
    bool IsBold() const { return HasEffect(CFM_BOLD); }
    bool IsItalic() const { return HasEffect(CFM_ITALIC); }
    bool IsUnderline() const { return HasEffect(CFM_UNDERLINE); }
    void SetBold(bool on) { SetEffect(CFM_BOLD, on); }
    void SetItalic(bool on) { SetEffect(CFM_ITALIC, on); }
    void SetUnderline(bool on) { SetEffect(CFM_UNDERLINE, on); }

    // The cue text is due while the control is empty and has no focus.
    bool ShouldShow() override;
    // The cue text in the current language (the English text when the language has none).
    CString GetText() override;

    // The macro under a client point (empty when none); see FindMacroAt.
    CString MacroAtPoint(POINT client) const;
    // The HTML tip shown now (empty when none).
    const CString& ShownTipText() const { return m_shownTip; }
    CHtmlToolTip& HtmlTip() { return m_htmlTip; }
    // Replaces time and cursor (tests); not owned.
    void SetClock(ToolTipClock* clock);
    // The context menu's items (the caller destroys it).
    HMENU BuildContextMenu() const;

    BEGIN_MSG_MAP(PhraseTextEdit)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnRelayToTips)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    // Shows the tip of the macro under the last mouse point when the cursor is still there.
    void ShowTipIfResting();

private:
    LRESULT OnRelayToTips(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnKeyUp(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    bool HasEffect(DWORD mask) const;
    void SetEffect(DWORD mask, bool on);
    void CreateTips();
    void HideMacroTip();
    bool IsOverLink(const ENLINK& link) const;
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

    bool m_tipsDirty = true;
    POINT m_lastPoint = {};
    CString m_shownTip;
    HWND m_toolTip = nullptr;
    CHtmlToolTip m_htmlTip;
    bool m_readOnly = false;
    bool m_trackingLeave = false;
    ToolTipClock m_defaultClock;
    ToolTipClock* m_clock = &m_defaultClock;
};
