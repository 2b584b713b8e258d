#pragma once
// Access to a rich-edit control's text object model (ITextDocument, ITextRange, ITextSelection,
// ITextFont) with message fallbacks where a call is not implemented, and the scoped guards that keep
// the control's modified flag, read-only state and event mask while the program changes its text.

#include "platform/CString.h"

#include <windows.h>

#include <richedit.h>
#include <tom.h>

#include <utility>

// Holds one interface pointer and releases it when it leaves scope.
template <class T>
class TomPtr
{
public:
    TomPtr() = default;
    explicit TomPtr(T* pointer) : m_pointer(pointer) {}
    TomPtr(const TomPtr&) = delete;
    TomPtr& operator=(const TomPtr&) = delete;
    TomPtr(TomPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    TomPtr& operator=(TomPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }
    ~TomPtr() { Reset(); }

    void Reset()
    {
        if (m_pointer)
            m_pointer->Release();
        m_pointer = nullptr;
    }
    T** Out()
    {
        Reset();
        return &m_pointer;
    }
    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

private:
    T* m_pointer = nullptr;
};

// The control's text document; empty when the control publishes no object model.
TomPtr<ITextDocument> GetTextDocument(HWND richEdit);
// The document's range [start, end] (end -1 = the end of the text); empty when it cannot be had.
TomPtr<ITextRange> GetTextRange(HWND richEdit, LONG start, LONG end);
// The range's text; empty when the handle is no window or the range cannot be had. Falls back to
// EM_GETTEXTRANGE when the object model is missing.
CString GetRangeText(HWND richEdit, LONG start, LONG end);

// Overtype state of the control's selection. Where the object model does not give the selection's
// flags, the state is the one tracked by NoteInsertKey (a property of the window).
bool IsOvertypeMode(HWND richEdit);
// Sets or clears overtype; returns IsOvertypeMode afterwards. Without the object model's flags the
// control's own Insert key handling is used to toggle it.
bool SetOvertypeMode(HWND richEdit, bool on);
// Records that the control has just handled a press of the Insert key (it toggled overtype).
void NoteInsertKey(HWND richEdit);

// Saves EM_GETMODIFY; restores it with EM_SETMODIFY.
class ModifyFlagGuard
{
public:
    explicit ModifyFlagGuard(HWND richEdit);
    ~ModifyFlagGuard();
    ModifyFlagGuard(const ModifyFlagGuard&) = delete;
    ModifyFlagGuard& operator=(const ModifyFlagGuard&) = delete;

private:
    HWND m_window;
    BOOL m_modified = FALSE;
};

// Clears read-only while it lives when the control was read-only; sets it again afterwards.
class ReadOnlyGuard
{
public:
    explicit ReadOnlyGuard(HWND richEdit);
    ~ReadOnlyGuard();
    ReadOnlyGuard(const ReadOnlyGuard&) = delete;
    ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;

private:
    HWND m_window;
    bool m_cleared = false;
};

// Removes ENM_CHANGE and ENM_PROTECTED from the event mask while it lives; ORs the removed bits back
// into the then current mask afterwards.
class EventMaskGuard
{
public:
    explicit EventMaskGuard(HWND richEdit);
    ~EventMaskGuard();
    EventMaskGuard(const EventMaskGuard&) = delete;
    EventMaskGuard& operator=(const EventMaskGuard&) = delete;

private:
    HWND m_window;
    DWORD m_removed = 0;
};

// Keeps the control from drawing while it lives: the document's Freeze, or WM_SETREDRAW where Freeze
// is not implemented (the window is then invalidated at the end).
class RedrawFreeze
{
public:
    RedrawFreeze(HWND richEdit, ITextDocument* document);
    ~RedrawFreeze();
    RedrawFreeze(const RedrawFreeze&) = delete;
    RedrawFreeze& operator=(const RedrawFreeze&) = delete;

private:
    HWND m_window;
    ITextDocument* m_document;
    bool m_frozen = false;
    bool m_redrawOff = false;
};
