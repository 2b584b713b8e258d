#include "engine/SCVAction.h"

#include <string>

#include "common/KernelHandle.h"
#include "common/RichEditConversion.h"
#include "common/RtfTextCoding.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "engine/ClipboardAccess.h"
#include "engine/PasteKeystrokes.h"
#include "engine/QuickInputDialog.h"
#include "engine/TypingKeystrokes.h"

namespace
{
constexpr DWORD kPasteDelayMs = 400;

DWORD WINAPI PasteThreadProc(LPVOID parameter)
{
    const int caretSteps = *static_cast<const int*>(parameter);
    ::Sleep(kPasteDelayMs);
    PasteAndMoveCaretLeft(caretSteps > 0 ? static_cast<unsigned>(caretSteps) : 0u);
    return 0;
}

// Pastes on a worker thread and waits for it; false when the thread cannot be started.
bool PasteFromWorker(int caretSteps)
{
    int steps = caretSteps;
    CKernelHandle thread(::CreateThread(nullptr, 0, PasteThreadProc, &steps, CREATE_SUSPENDED, nullptr));
    if (!thread)
        return false;
    ::ResumeThread(thread.Get());
    ::WaitForSingleObject(thread.Get(), INFINITE);
    return true;
}

bool PutRichTextFormats(const CString& rtf, LCID locale)
{
    const std::string rtfBytes = NarrowRtfText(rtf);
    const CString plain = RtfToPlainText(rtf);
    ClipboardBlockMap blocks;
    blocks[GetRtfClipboardFormat()] = ClipboardBlockRef{rtfBytes.c_str(), rtfBytes.size() + 1};
    if (!plain.IsEmpty())
    {
        blocks[CF_UNICODETEXT] = ClipboardBlockRef{plain.GetString(),
                                                   (static_cast<SIZE_T>(plain.GetLength()) + 1) * sizeof(wchar_t)};
    }
    const DWORD localeValue = locale;
    if (locale != 0)
        blocks[CF_LOCALE] = ClipboardBlockRef{&localeValue, sizeof(localeValue)};
    return PutClipboardFormats(blocks);
}
} // namespace

void DeleteActionObjects(CSCVActionList& list) { list.clear(); }

bool ShouldTypeText(int length, int pasteMethod, int printLimit)
{
    switch (pasteMethod)
    {
    case 0:
        return true;
    case 2:
        return length < printLimit;
    default:
        return false;
    }
}

bool PasteTextViaClipboard(bool plainOnly, const CString& text, int caretSteps)
{
    return CSCVAction_TextCommon::MutiCopy_Impl(plainOnly, text, caretSteps, 0, true);
}

CSCVAction_Exec::CSCVAction_Exec(const CString& command, CommandRunner runner)
    : CSCVAction(command), m_runner(std::move(runner))
{
}

int CSCVAction_Exec::Execute(HWND target)
{
    if (!m_runner)
    {
        LogError(CString(L"CSCVAction_Exec: no command runner for [") + m_text + L"]");
        return 0;
    }
    return m_runner(target, m_text) ? 1 : 0;
}

bool CSCVAction_TextCommon::MutiCopy_Impl(bool plainOnly, const CString& text, int caretSteps, LCID locale,
                                          bool paste)
{
    WriteLogLine(text);
    if (plainOnly)
    {
        if (!PutClipboardUnicodeText(text))
        {
            WriteLogLine(L"CSCVAction_TextCommon::MutiCopy_Impl::Cannot set to clipboard");
            return false;
        }
    }
    else if (!PutRichTextFormats(text, locale))
    {
        WriteLogLine(L"Cannot set data to clipboard as MULTI formats");
        return false;
    }
    return paste ? PasteFromWorker(caretSteps) : true;
}

int CSCVAction_Text::Execute(HWND)
{
    const CSettings& settings = GetSettings();
    if (ShouldTypeText(m_text.GetLength(), settings.TextPasteMethod_v150, settings.PrintLTChars))
    {
        WriteLogLine(CString(L"DoPrint: ") + m_text);
        return TypeTextAndMoveCaret(m_text, m_caretSteps) ? 1 : 0;
    }
    return MutiCopy_Impl(true, m_text, m_caretSteps, m_locale, true) ? 1 : 0;
}

int CSCVAction_Prompt::Execute(HWND target)
{
    CString answer;
    ShowQuickInputDialog(m_text, target, answer);
    m_text = answer;
    if (m_text.IsEmpty())
        return 1;
    return CSCVAction_Text::Execute(target);
}

int CSCVAction_Rtf::Execute(HWND)
{
    return MutiCopy_Impl(false, m_text, m_caretSteps, m_locale, true) ? 1 : 0;
}
