#pragma once
// The hover highlight of the editor's flat buttons, as a message map to chain
// (CHAIN_MSG_MAP(CHoverHighlight)). The window is hot while the cursor lies in its window rectangle:
// a mouse move that changes this invalidates the window and, on entering, asks for WM_MOUSELEAVE; the
// leave makes it cold and redraws it at once; the background is never erased (the owner paints it).
// Mouse messages go on to the rest of the map.

#include <windows.h>

class CHoverHighlight
{
public:
    bool IsHot() const { return m_hot; }

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMsgMapID = 0);

private:
    void OnMouseMove(HWND window);
    void OnMouseLeave(HWND window);

    bool m_hot = false;
};

// A message handler that answers 1 and does nothing else.
inline LRESULT ReturnTrue(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;
}
