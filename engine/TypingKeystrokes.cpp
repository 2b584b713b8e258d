#include "engine/TypingKeystrokes.h"

#include "engine/KeyboardInput.h"

namespace
{
constexpr WORD kLineFeedKey = 0x0A;

void AddKeyStroke(std::vector<INPUT>& inputs, WORD virtualKey)
{
    const WORD scanCode = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    inputs.push_back(MakeKeyboardInput(virtualKey, scanCode, 0));
    inputs.push_back(MakeKeyboardInput(virtualKey, scanCode, KEYEVENTF_KEYUP));
}

void AddPlainKeyStrokes(std::vector<INPUT>& inputs, WORD virtualKey, int count)
{
    for (int i = 0; i < count; ++i) {
        inputs.push_back(MakeKeyboardInput(virtualKey, 0, 0));
        inputs.push_back(MakeKeyboardInput(virtualKey, 0, KEYEVENTF_KEYUP));
    }
}

void AddCharacter(std::vector<INPUT>& inputs, wchar_t unit)
{
    inputs.push_back(MakeKeyboardInput(0, unit, KEYEVENTF_UNICODE));
    inputs.push_back(MakeKeyboardInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
}

// The key a control character is typed with; 0 for a character typed as itself.
WORD ControlKeyOf(const CString& text, int index)
{
    switch (text[index]) {
    case L'\t':
        return VK_TAB;
    case L'\r':
        return VK_RETURN;
    case L'\n':
        // Only the second half of a CR LF pair is the bare line-feed key; a line feed on its own is
        // a line break of its own.
        return (index > 0 && text[index - 1] == L'\r') ? kLineFeedKey : VK_RETURN;
    default:
        return 0;
    }
}

UINT SendBatch(const std::vector<INPUT>& inputs)
{
    if (inputs.empty())
        return 0;
    return GetKeyboardInput().Send(inputs.data(), static_cast<UINT>(inputs.size()));
}
} // namespace

INPUT MakeKeyboardInput(WORD virtualKey, WORD scanCode, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = flags;
    input.ki.time = 0;
    input.ki.dwExtraInfo = 0;
    return input;
}

std::vector<INPUT> BuildTypingInputs(const CString& text, int leftSteps)
{
    std::vector<INPUT> inputs;
    const int length = text.GetLength();
    inputs.reserve(static_cast<size_t>(2 * length + (leftSteps > 0 ? 2 * leftSteps + 1 : 0)));
    for (int i = 0; i < length; ++i) {
        const WORD key = ControlKeyOf(text, i);
        if (key != 0)
            AddKeyStroke(inputs, key);
        else
            AddCharacter(inputs, text[i]);
    }
    if (leftSteps > 0) {
        inputs.push_back(MakeKeyboardInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
        AddPlainKeyStrokes(inputs, VK_LEFT, leftSteps);
    }
    return inputs;
}

bool TypeTextAndMoveCaret(const CString& text, int leftSteps)
{
    if (text.IsEmpty())
        return false;
    const INPUT releaseCtrl = MakeKeyboardInput(VK_CONTROL, 0, KEYEVENTF_KEYUP);
    GetKeyboardInput().Send(&releaseCtrl, 1);
    SendBatch(BuildTypingInputs(text, leftSteps));
    return true;
}

bool SendCaretLeftAndSelect(int leftSteps, int selectSteps)
{
    if (leftSteps <= 0 && selectSteps <= 0)
        return false;
    std::vector<INPUT> inputs;
    AddPlainKeyStrokes(inputs, VK_LEFT, leftSteps);
    inputs.push_back(MakeKeyboardInput(VK_SHIFT, 0, 0));
    AddPlainKeyStrokes(inputs, VK_RIGHT, selectSteps);
    inputs.push_back(MakeKeyboardInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
    SendBatch(inputs);
    return true;
}
