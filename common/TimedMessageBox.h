#pragma once

// The system message box, extended without a dialog template of its own:
//  - it can close itself after a time-out, counting the seconds down in its
//    caption and stopping the count when the user touches it;
//  - it can carry extra check boxes under its text;
//  - its standard buttons can be given other texts.
// The box is watched on the calling thread with a CBT hook, subclassed when it
// is created and laid out anew when it is first activated. Boxes of this
// family do not nest on one thread: a second request while one is up returns
// 0 without showing anything.

#include "platform/CString.h"

#include <windows.h>

#include <map>
#include <set>
#include <vector>

// What the plain timed boxes return when their time runs out.
const int kMessageBoxTimedOut = 32000;

// Gives the icon shown in the box (user data in, icon out).
using MessageBoxIconCallback = HICON (*)(void* userData);
// New texts for the standard buttons, by button id (IDOK, IDCANCEL, ...);
// empty texts are left alone.
using MessageBoxButtonTexts = std::map<int, CString>;

// A message box that closes itself after timeoutMs: the pressed button, or
// kMessageBoxTimedOut when the time ran out; 0 when the system lacks timed
// message boxes. A time-out of 0 or INFINITE never runs out.
int MessageBoxTimeout(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs);
// The same, with resultOnTimeout in place of kMessageBoxTimedOut.
int MessageBoxTimeoutOr(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs,
                        int resultOnTimeout);

// A box with one check box, checked at the start when *checked is set; on
// return *checked tells whether it was checked when the box closed (however it
// was closed). x, y: the box's position, -1, -1 for the system's.
int ShowTimedCheckBoxMessage(HWND owner, UINT type, LPCWSTR text, LPCWSTR caption, LPCWSTR checkText,
                             bool* checked, bool disabled = false, int x = -1, int y = -1,
                             MessageBoxIconCallback iconCallback = nullptr, void* userData = nullptr,
                             const MessageBoxButtonTexts* buttonTexts = nullptr);

// A box that counts timeoutMs down in its caption and then closes with
// resultOnTimeout. With stopOnInteraction, moving the mouse over the box or
// pressing a key in it stops the count ("Stopped" in the caption, a beep, the
// icon blinks) and the box stays until a button is pressed.
int ShowTimedConfirm(HWND owner, LPCWSTR caption, LPCWSTR text, UINT type, DWORD timeoutMs,
                     int resultOnTimeout, bool stopOnInteraction);

// The general form: extraTexts holds one check box text per line (LF
// separated); checked holds the indexes of the check boxes checked at the start
// and, on return, those checked when the box closed; disabled the indexes of
// the disabled ones.
int RunExtendedMessageBox(HWND owner, UINT type, LPCWSTR text, LPCWSTR caption, LPCWSTR extraTexts,
                          std::set<int>* checked, const std::set<int>* disabled = nullptr, int x = -1,
                          int y = -1, MessageBoxIconCallback iconCallback = nullptr, void* userData = nullptr,
                          const MessageBoxButtonTexts* buttonTexts = nullptr);

// One box of the family while it is shown (one per call, on the stack).
class CTimedMessageBox
{
public:
    explicit CTimedMessageBox(UINT type);
    virtual ~CTimedMessageBox();
    CTimedMessageBox(const CTimedMessageBox&) = delete;
    CTimedMessageBox& operator=(const CTimedMessageBox&) = delete;

    // One check box per line (LF separated); empty lines after the first are skipped.
    void SetExtraTexts(LPCWSTR extraTexts);
    void SetChecked(const std::set<int>& checked) { m_checked = checked; }
    const std::set<int>& GetChecked() const { return m_checked; }
    void SetDisabled(const std::set<int>& disabled) { m_disabled = disabled; }
    void SetPosition(int x, int y);
    void SetIcon(MessageBoxIconCallback callback, void* userData);
    void SetButtonTexts(const MessageBoxButtonTexts& texts) { m_buttonTexts = texts; }
    // Counts timeoutMs down in the caption and closes with resultOnTimeout
    // (a result of 0 leaves timed mode off).
    void SetTimed(DWORD timeoutMs, int resultOnTimeout, bool stopOnInteraction);

    // Shows the box on this thread and returns its result; 0 when a box of the
    // family is already up on this thread.
    int Run(HWND owner, LPCWSTR text, LPCWSTR caption);

    static const UINT_PTR kCountdownTimer = 8696;

private:
    enum ExtraKind
    {
        ExtraCheckBoxes = 0,
        ExtraNone = 3,
    };
    static const DWORD kUseMessageFilter = 1;

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT DialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* userData,
                                  BOOL& callPrevious, WNDPROC previousProc);
    static LRESULT CheckBoxCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* userData,
                                    BOOL& callPrevious, WNDPROC previousProc);

    bool IsTimed() const { return m_timeoutResult != 0; }
    void OnCreateDialog(HWND dialog);
    void OnActivateDialog();
    void OnDestroyDialog();
    LRESULT OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& callPrevious,
                            WNDPROC previousProc);
    void OnInitDialog();
    void UpdateCaption();
    void Stop();

    void LayOut();
    void EmboldenText(HWND text);
    int MeasureExtraWidth() const;
    void CreateExtraControls(int left, int top, int width);
    void CentreButtons();
    std::vector<HWND> StandardButtons() const;
    HWND LastStandardButton() const;

    UINT m_type;
    CString m_savedCaption;
    int m_secondsLeft = 0;
    DWORD m_flags = kUseMessageFilter;
    bool m_stopped = false;
    bool m_stopOnInteraction = false;
    HFONT m_boldTextFont = nullptr;
    HWND m_dialog = nullptr;
    std::vector<CString> m_extraTexts;
    std::vector<HWND> m_extraControls;
    std::set<int> m_checked;
    std::set<int> m_disabled;
    int m_extraKind = ExtraNone;
    int m_x = -1;
    int m_y = -1;
    void* m_userData = nullptr;
    MessageBoxIconCallback m_iconCallback = nullptr;
    MessageBoxButtonTexts m_buttonTexts;
    DWORD m_timeoutMs = 0;
    int m_timeoutResult = 0;
    bool m_activated = false;
    bool m_initialised = false;
    bool m_laidOut = false;
};
