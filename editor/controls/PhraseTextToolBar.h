#pragma once
// The toolbar above the phrase text: undo, redo, clipboard commands, menu name, data format, insert
// macro and the read-only toggle, whose button blinks when the user types into read-only text.

#include "editor/controls/ToolbarImages.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

#include <windows.h>

#include <commctrl.h>

namespace PhraseTextCommand
{
constexpr UINT kUndo = 57643;
constexpr UINT kRedo = 57644;
constexpr UINT kCut = 57635;
constexpr UINT kCopy = 57634;
constexpr UINT kPaste = 57637;
constexpr UINT kIntoMenuName = 32793;
constexpr UINT kDataFormat = 32801;
constexpr UINT kInsertMacro = 32802;
constexpr UINT kReadOnly = 32837;
} // namespace PhraseTextCommand

class PhraseTextToolBar : public CWindowImpl<PhraseTextToolBar, CWindow>
{
public:
    static constexpr UINT kBlinkEnded = WM_APP + 1;

    DECLARE_WND_SUPERCLASS(L"ScvPhraseTextToolBar", TOOLBARCLASSNAMEW)

    PhraseTextToolBar() = default;
    ~PhraseTextToolBar() override;

    // Creates the toolbar with its images and buttons.
    HWND CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style);
    // Gives the "Macro" and "Read Only" buttons their texts and widths (again after a language change).
    void SizeTextButtons();

    // Enabled and checked state of the read-only button, changed only where they differ.
    void SetReadOnlyButton(bool checked, bool enabled);
    // Hides and shows the read-only button twice on a thread; while a blink runs only the sound is
    // played. False when no new blink was started.
    bool StartReadOnlyBlink(bool withSound);
    bool IsBlinking() const { return m_isBlinking; }

    // 0 plain text, 1 formatted text, 2 start an application.
    void SetDataFormatMode(int mode) { m_dataFormatMode = mode; }
    int GetDataFormatMode() const { return m_dataFormatMode; }
    // The image of the data-format button for a format; -1 when unknown.
    int GetDataFormatImage(int format) const;
    // The info tip of a button's command.
    CString GetInfoTip(UINT command) const;

    BEGIN_MSG_MAP(PhraseTextToolBar)
    MESSAGE_HANDLER(kBlinkEnded, OnBlinkEnded)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    END_MSG_MAP()

private:
    LRESULT OnBlinkEnded(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    void AddButtons();
    void SetButtonTextAndWidth(UINT command, const CString& text, int width);

    ToolbarImages m_images;
    int m_dataFormatMode = 0;
    bool m_isBlinking = false;
    int m_formatImages[3] = {-1, -1, -1};
};
