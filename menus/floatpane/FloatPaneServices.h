#pragma once

// What the floating history pane (CSCVFloatPane) needs from the two sides it
// sits between. The menu library does not link the program's own code, so
// both come in as interfaces:
//  - IFloatPaneHistory: the clipboard watcher that owns the history queue.
//    The watcher implements it; it must outlive the pane's window or be taken
//    away with CSCVFloatPane::SetHistory(nullptr) first. After every change of
//    the queue the watcher (or the tray on its behalf) calls
//    CSCVFloatPane::RefreshIfOpen; when the watcher window appears or goes it
//    calls NotifyClipboardSpyListeners(nullptr, 0, exists).
//  - IFloatPaneHost: services of the application core (the tray window).

#include <windows.h>

#include <set>

#include "platform/CString.h"

class CCHItem;
class CCHQueue;
class CMenuToolTip;

class IFloatPaneHistory
{
public:
    // The history; null when there is none.
    virtual CCHQueue* GetQueue() = 0;
    // Whether the watcher window exists (the history is being kept).
    virtual bool IsWatching() = 0;
    // Puts a text item (types 0 to 2) of the history on the clipboard: mode 0
    // its text, mode 1 the item with every format a target may ask for (its
    // RTF and HTML, and plain Unicode text beside them). False when the
    // clipboard did not take it.
    virtual bool PutTextItemOnClipboard(const CCHItem& item, int mode) = 0;
    // The row (0 = newest) as Unicode text on the clipboard.
    virtual bool PutItemAsPlainText(int row) = 0;
    // Transforms of one row; true / the count when the item changed.
    virtual bool ChangeItemCase(bool upper, int row) = 0;
    virtual int TrimItemText(int row) = 0;  // characters removed
    virtual int JoinItemLines(int row) = 0; // line breaks joined
    // Removes rows (0 = newest) with or without an undo record; protected
    // rows only with force. True when something changed.
    virtual bool RemoveItems(const std::set<int>& rows, bool makeUndo, bool force, const CString& text) = 0;
    // Removes every unprotected item with an undo record; true when changed.
    virtual bool ClearHistory() = 0;
    // Writes the items not yet on disk in the background.
    virtual void ScheduleSave() = 0;

protected:
    IFloatPaneHistory() = default;
    ~IFloatPaneHistory() = default;
    IFloatPaneHistory(const IFloatPaneHistory&) = default;
    IFloatPaneHistory& operator=(const IFloatPaneHistory&) = default;
};

// Sounds the pane plays through the application's sound player.
enum FloatPaneSound : int
{
    kPaneSoundKeyboard = 0,
    kPaneSoundPaper = 1,
    kPaneSoundWherePane = 2,
};

class IFloatPaneHost
{
public:
    // The tray window: pane commands it does not handle itself go there.
    virtual HWND GetTrayWindow() = 0;
    // The window the user worked in before the pane (the hook DLL's answer);
    // null when unknown.
    virtual HWND GetTargetWindow() = 0;
    virtual void PlayPaneSound(int sound) = 0;
    // Adds a line to the tray's list of start-up notes and errors.
    virtual void ReportText(LPCWSTR text) = 0;
    // The named events around a copy into the target window.
    virtual void SignalCopy(bool start) = 0;
    virtual bool IsElevated() = 0;
    // "... and 3 more" for the count.
    virtual CString FormatAndMoreText(int count) = 0;
    // Opens the text as a web address; searches the web for it (kind 5 to 8).
    virtual bool OpenUrl(const CString& text) = 0;
    virtual bool SearchWeb(const CString& text, int kind) = 0;
    // Runs the text as a command line (program and parameters split), owned by
    // the tray window; a command that cannot start is reported to the user.
    virtual bool RunCommand(const CString& command) = 0;
    // Writes the item to the file; true when written.
    virtual bool SaveItemToFile(const CCHItem& item, const CString& path) = 0;
    // Writes history item `row` to a temporary file and opens it with its
    // program (withProgram) or shows the "Open With" dialog for it, owned by
    // `owner`. False when nothing was opened (an item without a file type,
    // a file that cannot be written, a shell refusal).
    virtual bool OpenItemInTempFile(const CCHQueue& queue, int row, HWND owner, bool withProgram) = 0;
    // Translates the texts of a menu loaded from the program's resources.
    virtual void LocalizeMenu(HMENU menu) = 0;
    // The menu tooltip that shows the tips of the pane's menus (the tray
    // menu's); null: the pane's menus show no tips.
    virtual CMenuToolTip* GetMenuToolTip() { return nullptr; }

protected:
    IFloatPaneHost() = default;
    ~IFloatPaneHost() = default;
    IFloatPaneHost(const IFloatPaneHost&) = default;
    IFloatPaneHost& operator=(const IFloatPaneHost&) = default;
};
