#pragma once
// The label edit of the phrases tree. The tree makes its edit single-line and the kind of an edit is
// fixed when it is created, so while a PhrasesPaneLabelEdit lives, the edit the tree creates on this
// thread is made multi-line as it is born: a long name wraps instead of scrolling away. The edit stays
// at least as wide as the tree (from its left edge) and two rows high however the tree resizes it.
// Enter and Esc keep their meaning: the tree and the pane end the edit on them.

#include "platform/CString.h"

#include <windows.h>

class PhrasesPaneLabelEdit
{
public:
    PhrasesPaneLabelEdit();
    ~PhrasesPaneLabelEdit();
    PhrasesPaneLabelEdit(const PhrasesPaneLabelEdit&) = delete;
    PhrasesPaneLabelEdit& operator=(const PhrasesPaneLabelEdit&) = delete;

    // Sizes the tree's edit now and keeps it sized (also when it was made before any object lived).
    static void Fit(HWND tree, HWND edit);
    // A label on one line: every line break (CR LF, CR or LF) becomes one blank.
    static CString OneLine(const CString& text);

private:
    static LRESULT CALLBACK OnCreateHook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook = nullptr;
};
