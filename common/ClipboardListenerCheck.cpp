#include "common/ClipboardListenerCheck.h"

#include "common/RuntimeBinding.h"

bool IsClipboardFormatListenerAvailable()
{
    if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll"))
        return FindFunction<FARPROC>(user32, "AddClipboardFormatListener") != nullptr;
    CLoadedModule loaded(L"user32.dll");
    return loaded.Find<FARPROC>("AddClipboardFormatListener") != nullptr;
}
