#pragma once

// Animates the notification-area icon while the program checks for updates:
// a worker thread turns the icon through three rotated frames and the icon
// itself until stopped. The variant with window icons also shows each frame
// as a window's big and small icon.

#include <windows.h>
#include <commctrl.h>

#include "common/KernelHandle.h"

struct TrayAnimationParams
{
    HWND trayWindow = nullptr;  // owner of the notification-area icon
    UINT iconId = 0;            // the icon's id
    UINT delayMs = 250;         // between frames
    HICON sourceIcon = nullptr; // not owned
    HWND iconWindow = nullptr;  // window whose icons follow the frames
};

class CTrayIconAnimator
{
public:
    CTrayIconAnimator() = default;
    virtual ~CTrayIconAnimator();
    CTrayIconAnimator(const CTrayIconAnimator&) = delete;
    CTrayIconAnimator& operator=(const CTrayIconAnimator&) = delete;

    // False when running already or when the frames or the worker cannot be made.
    bool Start(const TrayAnimationParams& params);
    // False when not running. Otherwise ends the worker and waits for it (the
    // calling thread keeps answering messages sent to it meanwhile), then
    // shows the source icon in the notification area again (never a turned
    // frame) and puts back the window icons saved at the start.
    bool Stop();
    bool IsRunning() const { return m_frames != nullptr; }
    int GetFrameCount() const { return m_frameCount; }
    int GetFrameIndex() const { return m_frameIndex; }
    const TrayAnimationParams& GetParams() const { return m_params; }

    // Three rotated frames followed by the icon itself (16 x 16).
    static HIMAGELIST BuildRotatedIconFrames(HICON source);

protected:
    virtual void OnFrameShown(HICON frame, HWND window) {}
    // Shows the icon as the notification-area icon (NIM_MODIFY).
    virtual bool SetNotifyIcon(HICON icon);

private:
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    // Shows the next frame; false when the animation is over.
    bool Step();

    int m_frameCount = 0;
    HICON m_savedBig = nullptr;
    HICON m_savedSmall = nullptr;
    volatile LONG m_frameIndex = 0;
    HIMAGELIST m_frames = nullptr;
    HICON m_shownFrame = nullptr;
    TrayAnimationParams m_params;
    CKernelHandle m_stop;
    CKernelHandle m_thread;
};

class CTrayIconAnimatorWithWindowIcon : public CTrayIconAnimator
{
protected:
    void OnFrameShown(HICON frame, HWND window) override;
};
