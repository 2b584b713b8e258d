#pragma once
// What the keystroke code asks of the system: sending synthetic input, reading a thread's keyboard
// layout and counting the installed layouts. The keystroke code reaches the system only through
// GetKeyboardInput(), so a recorder or a fixed set of layouts can stand in for it
// (CKeyboardInputOverride).

#include <windows.h>

class IKeyboardInput
{
public:
    virtual ~IKeyboardInput() = default;

    // SendInput of `count` records; the number of records inserted.
    virtual UINT Send(const INPUT* inputs, UINT count) = 0;
    // The keyboard layout of a thread (0: the calling thread).
    virtual HKL GetThreadLayout(DWORD threadId) = 0;
    // The number of installed keyboard layouts.
    virtual int GetLayoutCount() = 0;
    // Waits `ms` milliseconds (the pause that lets another process take the input).
    virtual void Pause(DWORD ms) = 0;
};

// The system itself: SendInput, GetKeyboardLayout, GetKeyboardLayoutList(0, NULL), Sleep.
class CSystemKeyboardInput : public IKeyboardInput
{
public:
    UINT Send(const INPUT* inputs, UINT count) override;
    HKL GetThreadLayout(DWORD threadId) override;
    int GetLayoutCount() override;
    void Pause(DWORD ms) override;
};

// The keyboard input in use: the system's unless an override is active.
IKeyboardInput& GetKeyboardInput();

// Puts another keyboard input in place of the system's for the object's lifetime (overrides nest).
// Meant for tests; not for use while other threads send keystrokes.
class CKeyboardInputOverride
{
public:
    explicit CKeyboardInputOverride(IKeyboardInput& input);
    ~CKeyboardInputOverride();
    CKeyboardInputOverride(const CKeyboardInputOverride&) = delete;
    CKeyboardInputOverride& operator=(const CKeyboardInputOverride&) = delete;

private:
    IKeyboardInput* m_previous;
};
