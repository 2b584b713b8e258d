#pragma once

// The editor's own tooltip window: texts in the HTML subset drawn by
// HtmlRenderer, in a balloon or rectangle with a shadow, fading in and out.
// A host creates the window once, adds itself as a tool and relays its mouse
// and key messages (RelayEvent); it can also show a tip of its own at a
// screen point (ShowTipAt).
//
// States: 0 hidden, 1 fading in, 2 shown, 3 fading out. Timers: 256 show
// after the initial delay, 257 auto-pop, 258 fade-in step, 259 fade-out
// step, 260 animation check. Time and the cursor come through ToolTipClock,
// which tests replace.

#include <windows.h>

#include "editor/controls/ToolTipPlacement.h"
#include "common/html/HtmlRenderer.h"
#include "platform/CWindowImpl.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Behaviour flags of a tool.
enum ToolTipBehaviour : UINT
{
    kTipMultipleShow = 0x01,
    kTipTrack = 0x02,
    kTipStay = 0x04,
    kTipKeepOverTip = 0x08,
    kTipNoAutoPop = 0x10,
};

// Mask bits of ToolTipInfo.
enum ToolTipMask : UINT
{
    kTipMaskStyles = 0x01,
    kTipMaskEffect = 0x02,
    kTipMaskColors = 0x04,
    kTipMaskDirection = 0x08,
    kTipMaskBehaviour = 0x10,
    kTipMaskTransparency = 0x20,
};

struct ToolTipInfo
{
    UINT id = 0;
    RECT rect = {}; // client co-ordinates of the tool window; empty = the whole window
    std::wstring text;
    UINT mask = 0;
    UINT styles = 0;
    int direction = 0;
    int effect = 0;
    UINT behaviour = 0;
    BYTE granularity = 0;
    BYTE transparency = 0;
    COLORREF colors[3] = {};
};

// Time and cursor as the tooltip sees them: timers on its window and the
// cursor position. The default uses SetTimer, KillTimer and GetCursorPos.
class ToolTipClock
{
public:
    virtual ~ToolTipClock() = default;
    virtual void StartTimer(HWND window, UINT_PTR id, UINT milliseconds);
    virtual void StopTimer(HWND window, UINT_PTR id);
    virtual POINT CursorPos();
};

class CHtmlToolTip : public CWindowImplBaseT<CWindow>
{
public:
    static constexpr UINT_PTR kTimerShow = 256;
    static constexpr UINT_PTR kTimerHide = 257;
    static constexpr UINT_PTR kTimerFadeIn = 258;
    static constexpr UINT_PTR kTimerFadeOut = 259;
    static constexpr UINT_PTR kTimerCheck = 260;
    static constexpr UINT kHoverMessage = WM_USER + 101;

    CHtmlToolTip();
    ~CHtmlToolTip() override;

    // Creates the window (owned by the host); 0 when it cannot be created.
    BOOL Create(HWND host, BOOL balloon = TRUE);
    void AddTool(HWND window, const std::wstring& text = std::wstring(), const RECT* rect = nullptr);
    void RemoveAllTools();
    BOOL RelayEvent(const MSG* message);
    void ShowTipAt(POINT screenPoint, const std::wstring& text, HICON icon = nullptr);
    void HideTip();
    void HideNow();
    void SetDelayTime(int kind, UINT milliseconds);
    void SetBehaviour(UINT flags) { m_defaults.behaviour = flags; }
    UINT GetBehaviour() const { return m_defaults.behaviour; }
    void SetDirection(int direction) { m_defaults.direction = direction; }
    void SetColors(COLORREF begin, COLORREF middle, COLORREF end);
    void SetColor(COLORREF color) { SetColors(color, color, color); }
    void SetEffect(int effect, BYTE granularity);
    void SetBorder(COLORREF color, int width, int height);
    void SetShadow(int offsetX, int offsetY, int darkness, bool blur, int blurWidth, int blurHeight);
    void SetSize(int index, int value);
    void SetBalloonShape(bool balloon) { m_sizes = BalloonSizes(balloon); }
    void SetFadeEnabled(bool fadeIn, bool fadeOut);
    BOOL DestroyWindow();

    // Frames the region with the border brush.
    virtual void DrawBorder(HDC dc, HRGN region);
    // One timer step (WM_TIMER goes here).
    virtual void OnTimerStep(UINT_PTR id);

    // Replaces time and cursor (tests); the tooltip does not own the clock.
    void SetClock(ToolTipClock* clock) { m_clock = clock ? clock : &m_defaultClock; }

    HtmlRenderer& Renderer() { return *m_renderer; }
    int State() const { return m_state; }
    int Transparency() const { return m_transparency; }
    HWND CurrentToolWindow() const { return m_current.window; }
    const ToolTipInfo& CurrentTool() const { return m_current.info; }
    const ToolTipPlacement& Placement() const { return m_placement; }
    const RECT& TextRect() const { return m_textRect; }
    const std::map<HWND, std::vector<ToolTipInfo>>& Tools() const { return m_tools; }
    // Draws the tip with a transparency into the DC (the window's own when null).
    void DrawTip(HDC dc, int transparency);

    BEGIN_MSG_MAP(CHtmlToolTip)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_ACTIVATEAPP, OnActivateApp)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kHoverMessage, OnHoverChanged)
    END_MSG_MAP()

protected:
    struct Tool
    {
        HWND window = nullptr;
        ToolTipInfo info;
        int mode = 0; // 0 under the mouse, 1 shown at a point
    };

    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    // A click on the tip itself goes to the tip window, not to the host that relays its messages: a link
    // under it opens, then the tip hides.
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnHoverChanged(UINT, WPARAM, LPARAM, BOOL&);

    ToolTipClock* Clock() { return m_clock; }

private:
    void OnMouseMove(POINT cursor);
    bool FindTool(POINT screenPoint, Tool& found);
    void Schedule(HWND window, const ToolTipInfo& info, bool useDelay, int mode);
    void ShowStep();
    void HideStep();
    void FadeInStep();
    void FadeOutStep();
    void CheckStep();
    void RestartAutoPop(UINT behaviour);
    void ForgetCurrent();
    bool LayoutTip();
    void FreeTipObjects();
    ToolTipInfo WithDefaults(const ToolTipInfo& info) const;
    bool IsOverTip(POINT screenPoint) const;

    std::unique_ptr<HtmlRenderer> m_renderer;
    ToolTipClock m_defaultClock;
    ToolTipClock* m_clock = &m_defaultClock;
    HWND m_parent = nullptr;
    POINT m_point = {-1, -1};
    Tool m_current;
    Tool m_next;
    int m_state = 0;
    int m_transparency = 0;
    bool m_pending = false;
    bool m_pendingWithDelay = false;
    ToolTipInfo m_defaults;
    HBRUSH m_borderBrush = nullptr;
    SIZE m_borderSize = {1, 1};
    POINT m_shadowOffset = {6, 6};
    int m_shadowDarkness = 50;
    bool m_shadowBlur = true;
    SIZE m_shadowBlurSize = {7, 7};
    UINT m_autoPop = 5000;
    UINT m_initial = 500;
    UINT m_fadeInStep = 0;
    UINT m_fadeOutStep = 0;
    bool m_fadeIn = true;
    bool m_fadeOut = true;
    ToolTipSizes m_sizes;
    RECT m_textRect = {};
    ToolTipPlacement m_placement;
    HRGN m_region = nullptr;
    HBITMAP m_background = nullptr;
    HBITMAP m_backdrop = nullptr;
    std::map<HWND, std::vector<ToolTipInfo>> m_tools;
};
