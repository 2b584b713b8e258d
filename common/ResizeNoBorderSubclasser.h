#pragma once

// Lets a window without a sizing border be resized by dragging its edges.
// Mode 1 answers WM_NCHITTEST near the edges with the sizing codes; mode 0
// gives the window a sizing frame while the cursor is at an edge and takes it
// away again when the cursor leaves the edge (a small thread watches that).
// The object is found from the window through a window property, so one
// object serves one window; it must outlive the subclass (Remove, or the
// window's WM_NCDESTROY).

#include <windows.h>

class CWindow;

class CResizeNoBorderSubclasser
{
public:
    static constexpr const wchar_t* PROPERTY_NAME = L"RESIZE_NO_BORDER_THICKFRAME_SUBCLASSER";
    enum Mode
    {
        ModeThickFrame = 0,
        ModeEdgeHitTest = 1
    };

    explicit CResizeNoBorderSubclasser(CWindow* window) : m_window(window) {}
    ~CResizeNoBorderSubclasser() = default;
    CResizeNoBorderSubclasser(const CResizeNoBorderSubclasser&) = delete;
    CResizeNoBorderSubclasser& operator=(const CResizeNoBorderSubclasser&) = delete;

    // 1 when installed; 0 when the window carries the property already, the
    // mode is unknown, or the procedure cannot be replaced.
    int Install(int mode);
    // 1 when removed (frame taken away, procedure and property restored); 0
    // when not installed.
    int Remove();
    bool IsInstalled() const { return m_previousProc != nullptr; }

    // The sizing code of the edge band the screen point lies in, given the
    // window rectangle and the band width and height; HTCLIENT elsewhere.
    static LRESULT EdgeHitCode(const RECT& window, POINT point, int bandWidth, int bandHeight);

private:
    static CResizeNoBorderSubclasser* FromWindow(HWND window);
    static LRESULT CALLBACK EdgeHitTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ThickFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void SetThickFrame(HWND window, bool on);
    static void WatchEdge(HWND window);

    HWND Handle() const;
    LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    LRESULT OnNcDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CWindow* m_window;
    WNDPROC m_previousProc = nullptr;
};
