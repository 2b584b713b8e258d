#include "editor/app/frame/EditorCoopSignals.h"

#include "common/KernelHandle.h"
#include "common/WellKnownNames.h"
#include "editor/app/frame/EditorCoopWatchers.h"

bool SetExistingNamedEvent(LPCWSTR name)
{
    CKernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
    return event && ::SetEvent(event.Get());
}

bool SignalCoopClientEditor()
{
    return SetExistingNamedEvent(L"Local\\Scrivolanter_CoopClientEditor");
}

bool RequestUpdateCheck()
{
    return SetExistingNamedEvent(L"Local\\Scrivolanter_CommandCheckForUpdates");
}

bool SignalAddPhraseFromClipboard()
{
    return SetExistingNamedEvent(GetAddPhraseFromClipboardEventName());
}

LPCWSTR FloatPaneBlinkEventName()
{
    static const CString name = GetFloatPaneBlinkEventName();
    return name;
}
