#include "app/tray/TrayIconAnimator.h"

#include "common/IconHelpers.h"

#include <shellapi.h>

namespace
{
constexpr int kFrameSize = 16;
constexpr int kRotatedFrames = 3;
constexpr DWORD kStopWaitMs = 5000;

// Waits for the handle while still answering messages other threads send to
// this one (the worker sends window icons to a window of this thread).
void WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return;
        const DWORD result =
            ::MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
} // namespace

CTrayIconAnimator::~CTrayIconAnimator()
{
    Stop();
}

HIMAGELIST CTrayIconAnimator::BuildRotatedIconFrames(HICON source)
{
    if (!source)
        return nullptr;
    HIMAGELIST frames = ImageList_Create(kFrameSize, kFrameSize, ILC_COLOR32 | ILC_MASK, 4, 1);
    if (!frames)
        return nullptr;
    ImageList_SetBkColor(frames, ::GetSysColor(COLOR_WINDOW));
    HICON previous = nullptr;
    for (int i = 0; i < kRotatedFrames; ++i) {
        HICON rotated = CreateRotatedIcon(previous ? previous : source);
        if (previous)
            ::DestroyIcon(previous);
        previous = rotated;
        if (!rotated || ImageList_AddIcon(frames, rotated) < 0) {
            if (rotated)
                ::DestroyIcon(rotated);
            ImageList_Destroy(frames);
            return nullptr;
        }
    }
    if (previous)
        ::DestroyIcon(previous);
    if (ImageList_AddIcon(frames, source) < 0) {
        ImageList_Destroy(frames);
        return nullptr;
    }
    return frames;
}

bool CTrayIconAnimator::Start(const TrayAnimationParams& params)
{
    if (IsRunning())
        return false;
    m_params = params;
    m_savedBig = reinterpret_cast<HICON>(::SendMessageW(params.trayWindow, WM_GETICON, ICON_BIG, 0));
    m_savedSmall = reinterpret_cast<HICON>(::SendMessageW(params.trayWindow, WM_GETICON, ICON_SMALL, 0));
    HIMAGELIST frames = BuildRotatedIconFrames(params.sourceIcon);
    if (!frames)
        return false;
    m_frameCount = ImageList_GetImageCount(frames);
    m_frameIndex = 0;
    m_stop.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_frames = frames;
    HANDLE thread =
        m_stop ? ::CreateThread(nullptr, 0, &CTrayIconAnimator::ThreadProc, this, 0, nullptr) : nullptr;
    if (!thread) {
        m_frames = nullptr;
        ImageList_Destroy(frames);
        m_stop.Reset();
        return false;
    }
    m_thread.Reset(thread);
    return true;
}

bool CTrayIconAnimator::Stop()
{
    if (!IsRunning())
        return false;
    ::SetEvent(m_stop.Get());
    WaitAnsweringSentMessages(m_thread.Get(), kStopWaitMs);
    m_thread.Reset();
    m_stop.Reset();
    ImageList_Destroy(m_frames);
    m_frames = nullptr;
    // The worker may have ended on a turned frame.
    if (m_params.sourceIcon)
        SetNotifyIcon(m_params.sourceIcon);
    if (m_shownFrame) {
        ::DestroyIcon(m_shownFrame);
        m_shownFrame = nullptr;
    }
    if (m_savedBig)
        ::SendMessageW(m_params.trayWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_savedBig));
    if (m_savedSmall)
        ::SendMessageW(m_params.trayWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_savedSmall));
    return true;
}

DWORD WINAPI CTrayIconAnimator::ThreadProc(LPVOID parameter)
{
    auto* self = static_cast<CTrayIconAnimator*>(parameter);
    while (self->Step()) {
        if (::WaitForSingleObject(self->m_stop.Get(), self->m_params.delayMs) != WAIT_TIMEOUT)
            break;
    }
    return 0;
}

bool CTrayIconAnimator::Step()
{
    if (::WaitForSingleObject(m_stop.Get(), 0) != WAIT_TIMEOUT)
        return false;
    HICON frame = ImageList_GetIcon(m_frames, m_frameIndex, ILD_NORMAL);
    if (frame && SetNotifyIcon(frame))
        OnFrameShown(frame, m_params.iconWindow);
    if (m_shownFrame)
        ::DestroyIcon(m_shownFrame);
    m_shownFrame = frame;
    m_frameIndex = m_frameCount ? (m_frameIndex + 1) % m_frameCount : 0;
    return true;
}

bool CTrayIconAnimator::SetNotifyIcon(HICON icon)
{
    NOTIFYICONDATAW record = {};
    record.cbSize = sizeof(record);
    record.hWnd = m_params.trayWindow;
    record.uID = m_params.iconId;
    record.uFlags = NIF_ICON;
    record.hIcon = icon;
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void CTrayIconAnimatorWithWindowIcon::OnFrameShown(HICON frame, HWND window)
{
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(frame));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(frame));
}
