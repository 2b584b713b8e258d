#include "app/history/FloatPaneAppHost.h"

#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/target/CSCVDLLService.h"
#include "app/history/ClipboardItemFiles.h"
#include "app/entry/NamedEvents.h"
#include "app/ProgramLauncher.h"
#include "app/history/TempFiles.h"
#include "app/tray/WebSearch.h"
#include "common/MenuLocalizer.h"
#include "engine/CCHItem.h"
#include "engine/ClipboardHistoryFiles.h"
#include "online/CommandRunners.h"

HWND CFloatPaneAppHost::GetTrayWindow()
{
    return CAppObjects::GetMainWnd();
}

HWND CFloatPaneAppHost::GetTargetWindow()
{
    return m_dllService ? m_dllService->GetTargetWindowOther() : nullptr;
}

void CFloatPaneAppHost::PlayPaneSound(int sound)
{
    switch (sound) {
    case kPaneSoundKeyboard:
        CAppObjects::PlayKbdSound();
        break;
    case kPaneSoundPaper:
        CAppObjects::PlayPaperSound();
        break;
    case kPaneSoundWherePane:
        CAppObjects::PlayWherePaneSound();
        break;
    default:
        break;
    }
}

void CFloatPaneAppHost::ReportText(LPCWSTR text)
{
    CAppObjects::SendTextToMainWndList(text);
}

void CFloatPaneAppHost::SignalCopy(bool start)
{
    if (start)
        SignalStartCopy();
    else
        SignalEndCopy();
}

bool CFloatPaneAppHost::IsElevated()
{
    return CAppObjects::IsElevated();
}

CString CFloatPaneAppHost::FormatAndMoreText(int count)
{
    return ::FormatAndMoreText(count);
}

bool CFloatPaneAppHost::OpenUrl(const CString& text)
{
    return ::OpenUrl(CAppObjects::GetMainWnd(), text, false);
}

bool CFloatPaneAppHost::SearchWeb(const CString& text, int kind)
{
    return SearchWebForText(text, kind);
}

bool CFloatPaneAppHost::RunCommand(const CString& command)
{
    return OpenCommandWithShell(command, true, CAppObjects::GetMainWnd(), false);
}

bool CFloatPaneAppHost::SaveItemToFile(const CCHItem& item, const CString& path)
{
    return SaveClipboardItemToFile(item, path.GetString());
}

bool CFloatPaneAppHost::OpenItemInTempFile(const CCHQueue& queue, int row, HWND owner, bool withProgram)
{
    return OpenClipboardItemInTempFile(queue, row, owner, withProgram);
}

void CFloatPaneAppHost::LocalizeMenu(HMENU menu)
{
    CAppObjects::GetLocalizer().LocalizeMenu(menu);
}
