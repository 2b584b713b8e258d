#pragma once

// Puts data on the clipboard with delayed rendering and tells when a reader has taken it.
//
// Offer() announces every format with a null handle; the data is handed over only when a
// reader asks for it (WM_RENDERFORMAT), or all at once when the owner window goes away
// (WM_RENDERALLFORMATS). WatchReads() then reports, once, how the offer ended:
//  - Read: a reader took at least one format and the grace time passed without another read
//    (a reader may take several formats one after the other);
//  - NeverRead: the bound passed and nobody asked for the data;
//  - Replaced: someone emptied the clipboard (another program copied something meanwhile).
//
// The owner window is a message-only window of the creating thread: that thread must pump
// messages (sent ones at least) while a reader may ask for the data. User-interface thread only.

#include <windows.h>

#include <functional>
#include <vector>

#include "engine/ClipboardAccess.h"

class CDelayedClipboardOwner
{
public:
    enum class Outcome
    {
        Read,
        NeverRead,
        Replaced
    };
    using OutcomeHandler = std::function<void(Outcome)>;

    CDelayedClipboardOwner() = default;
    // Renders what is still announced, so a reader after the end still gets the data.
    ~CDelayedClipboardOwner();
    CDelayedClipboardOwner(const CDelayedClipboardOwner&) = delete;
    CDelayedClipboardOwner& operator=(const CDelayedClipboardOwner&) = delete;

    // Makes the owner window (once). False when it cannot be made.
    bool Create();
    HWND GetWindow() const { return m_window; }

    // Ends a watch still running (reported as it stands), empties the clipboard and announces
    // the blocks (copied). False when the window is missing, the map is empty or the clipboard
    // cannot be opened.
    bool Offer(const ClipboardBlockMap& blocks);
    // Whether this window still owns an offer on the clipboard.
    bool IsOfferOnClipboard() const;
    // Reports the outcome of the current offer once, graceMs after the last read or boundMs
    // after this call without one. Without an offer on the clipboard: Replaced at once.
    void WatchReads(DWORD graceMs, DWORD boundMs, OutcomeHandler handler);
    // Whether a watch is running.
    bool IsWatching() const { return static_cast<bool>(m_handler); }
    // Ends a running watch now, reporting Read when the data was taken, else NeverRead.
    void FinishWatch();
    // How many formats readers have asked for since the last Offer.
    int GetRenderCount() const { return m_renderCount; }

private:
    struct Block
    {
        UINT format = 0;
        std::vector<BYTE> bytes;
        bool rendered = false;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Render(UINT format);
    void RenderAll();
    void Report(Outcome outcome);
    void Destroy();

    HWND m_window = nullptr;
    std::vector<Block> m_blocks;
    int m_renderCount = 0;
    bool m_emptyingOwnOffer = false;
    DWORD m_graceMs = 0;
    OutcomeHandler m_handler;
};
