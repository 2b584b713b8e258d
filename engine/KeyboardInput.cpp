#include "engine/KeyboardInput.h"

namespace
{
IKeyboardInput* g_overrideInput = nullptr;

IKeyboardInput& SystemInput()
{
    static CSystemKeyboardInput input;
    return input;
}
} // namespace

UINT CSystemKeyboardInput::Send(const INPUT* inputs, UINT count)
{
    if (inputs == nullptr || count == 0)
        return 0;
    return ::SendInput(count, const_cast<INPUT*>(inputs), static_cast<int>(sizeof(INPUT)));
}

HKL CSystemKeyboardInput::GetThreadLayout(DWORD threadId)
{
    return ::GetKeyboardLayout(threadId);
}

int CSystemKeyboardInput::GetLayoutCount()
{
    return ::GetKeyboardLayoutList(0, nullptr);
}

void CSystemKeyboardInput::Pause(DWORD ms)
{
    ::Sleep(ms);
}

IKeyboardInput& GetKeyboardInput()
{
    return g_overrideInput != nullptr ? *g_overrideInput : SystemInput();
}

CKeyboardInputOverride::CKeyboardInputOverride(IKeyboardInput& input) : m_previous(g_overrideInput)
{
    g_overrideInput = &input;
}

CKeyboardInputOverride::~CKeyboardInputOverride()
{
    g_overrideInput = m_previous;
}
