#include "menus/tips/MenuTrackerOwner.h"

#include "common/SharedLog.h"
#include "common/StructuredExceptionGuard.h"
#include "menus/phrasemenu/MenuErrorReport.h"
#include "menus/phrasemenu/OwnerDrawnMenuItems.h"

namespace
{
// Runs a measure or draw routine under the guard; a caught exception is
// reported under `text` and answers 0.
template <typename Routine>
LRESULT RunGuardedRoutine(LPCWSTR text, Routine&& routine)
{
    LRESULT result = 0;
    DWORD code = 0;
    if (RunStructuredExceptionGuarded([&] { result = routine(); }, &code))
        return result;
    ShowMenuErrorMessage(FormatExceptionReport(text, code));
    return 0;
}
} // namespace

LRESULT MenuTrackerOwner::OnMenuMEASUREITEM(HWND, MEASUREITEMSTRUCT* measure)
{
    return RunGuardedRoutine(L"ERROR: Exception in IDataNeededHander_MenuSelf::OnMenuMEASUREITEM",
                             [measure] { return static_cast<LRESULT>(MeasureMenuItem(measure)); });
}

LRESULT MenuTrackerOwner::OnMenuDRAWITEMSTRUCT(HWND, DRAWITEMSTRUCT* draw)
{
    return RunGuardedRoutine(L"ERROR: Exception in IDataNeededHander_MenuSelf::OnMenuDRAWITEMSTRUCT",
                             [draw] { return static_cast<LRESULT>(DrawMenuItem(draw)); });
}

void MenuTrackerOwner::OnRightMenuCommand(int commandId, int action)
{
    WriteLogLine(L"IDataNeededHander_MenuSelf::OnRightMenuCommand");
    if (HWND main = GetMainWindow())
        ::SendMessageW(main, kRightMenuCommandMessage, static_cast<WPARAM>(action),
                       static_cast<LPARAM>(commandId));
}

void MenuTrackerOwner::OnMenuInitPopup(HMENU) {}
