#include "engine/SCVAction.h"

#include <string>

#include "common/KernelHandle.h"
#include "common/RichEditConversion.h"
#include "common/RtfTextCoding.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "engine/ClipboardAccess.h"
#include "engine/PasteClipboard.h"
#include "engine/PasteKeystrokes.h"
#include "engine/QuickInputDialog.h"
#include "engine/TypingKeystrokes.h"
#include "platform/ExceptionBoundary.h"

namespace
{
constexpr DWORD kPasteDelayMs = 400;

DWORD WINAPI PasteThreadProc(LPVOID parameter)
{
    try {
        const int caretSteps = *static_cast<const int*>(parameter);
        ::Sleep(kPasteDelayMs);
        PasteAndMoveCaretLeft(caretSteps > 0 ? static_cast<unsigned>(caretSteps) : 0u);
    } catch (...) {
        ReportCurrentException(L"paste thread");
    }
    return 0;
}

// Waits for a handle while answering messages sent to this thread's windows: a target that
// reads the clipboard during the paste asks this thread's clipboard owner for the data.
void WaitAnsweringSentMessages(HANDLE handle)
{
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Pastes on a worker thread and waits for it; false when the thread cannot be started.
bool PasteFromWorker(int caretSteps)
{
    int steps = caretSteps;
    CKernelHandle thread(::CreateThread(nullptr, 0, PasteThreadProc, &steps, CREATE_SUSPENDED, nullptr));
    if (!thread)
        return false;
    ::ResumeThread(thread.Get());
    WaitAnsweringSentMessages(thread.Get());
    return true;
}

// The clipboard blocks of one inserted text, with the storage they point into.
class CTextBlocks
{
public:
    CTextBlocks(bool plainOnly, const CString& text, LCID locale) : m_locale(locale)
    {
        if (plainOnly) {
            AddText(text);
            return;
        }
        m_rtf = NarrowRtfText(text);
        m_blocks[GetRtfClipboardFormat()] = ClipboardBlockRef{m_rtf.c_str(), m_rtf.size() + 1};
        m_plain = RtfToPlainText(text);
        if (!m_plain.IsEmpty())
            AddText(m_plain);
        if (m_locale != 0)
            m_blocks[CF_LOCALE] = ClipboardBlockRef{&m_locale, sizeof(m_locale)};
    }
    CTextBlocks(const CTextBlocks&) = delete;
    CTextBlocks& operator=(const CTextBlocks&) = delete;

    const ClipboardBlockMap& Get() const { return m_blocks; }

private:
    void AddText(const CString& text)
    {
        m_blocks[CF_UNICODETEXT] = ClipboardBlockRef{
            text.GetString(), (static_cast<SIZE_T>(text.GetLength()) + 1) * sizeof(wchar_t)};
    }

    DWORD m_locale = 0;
    std::string m_rtf;
    CString m_plain;
    ClipboardBlockMap m_blocks;
};

bool PutTextBlocks(bool plainOnly, const CString& text, LCID locale, IPasteClipboard* clipboard)
{
    const CTextBlocks blocks(plainOnly, text, locale);
    if (clipboard)
        return clipboard->PutForPaste(blocks.Get());
    // A plain text goes alone, as PutClipboardUnicodeText puts it (with the thread's locale).
    if (plainOnly)
        return PutClipboardUnicodeText(text);
    return PutClipboardFormats(blocks.Get());
}
} // namespace

void DeleteActionObjects(CSCVActionList& list)
{
    list.clear();
}

bool ShouldTypeText(int length, int pasteMethod, int printLimit)
{
    switch (pasteMethod) {
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
{}

int CSCVAction_Exec::Execute(HWND target)
{
    if (!m_runner) {
        LogError(CString(L"CSCVAction_Exec: no command runner for [") + m_text + L"]");
        return 0;
    }
    return m_runner(target, m_text) ? 1 : 0;
}

bool CSCVAction_TextCommon::MutiCopy_Impl(bool plainOnly, const CString& text, int caretSteps, LCID locale,
                                          bool paste)
{
    WriteLogLine(text);
    if (!PutTextBlocks(plainOnly, text, locale, nullptr)) {
        WriteLogLine(plainOnly ? L"CSCVAction_TextCommon::MutiCopy_Impl::Cannot set to clipboard"
                               : L"Cannot set data to clipboard as MULTI formats");
        return false;
    }
    return paste ? PasteFromWorker(caretSteps) : true;
}

bool CSCVAction_TextCommon::MayUseClipboard() const
{
    return !m_pasteClipboard || m_pasteClipboard->MayCarryPhrase();
}

bool CSCVAction_TextCommon::PasteOwnText(bool plainOnly)
{
    if (!m_pasteClipboard)
        return MutiCopy_Impl(plainOnly, m_text, m_caretSteps, m_locale, true);
    WriteLogLine(m_text);
    if (!PutTextBlocks(plainOnly, m_text, m_locale, m_pasteClipboard)) {
        WriteLogLine(L"CSCVAction_TextCommon::PasteOwnText: cannot set the text to the clipboard");
        return false;
    }
    return PasteFromWorker(m_caretSteps);
}

int CSCVAction_Text::Execute(HWND)
{
    const CSettings& settings = GetSettings();
    const bool typed =
        ShouldTypeText(m_text.GetLength(), settings.TextPasteMethod_v150, settings.PrintLTChars);
    if (!typed && !MayUseClipboard())
        WriteLogLine(L"CSCVAction_Text: the user's clipboard is not kept, the text is typed");
    if (typed || !MayUseClipboard()) {
        WriteLogLine(CString(L"DoPrint: ") + m_text);
        return TypeTextAndMoveCaret(m_text, m_caretSteps) ? 1 : 0;
    }
    return PasteOwnText(true) ? 1 : 0;
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
    if (!MayUseClipboard()) {
        LogError(L"CSCVAction_Rtf: the user's clipboard is not kept, the rich text is not inserted");
        ::MessageBeep(MB_ICONHAND);
        return 0;
    }
    return PasteOwnText(false) ? 1 : 0;
}
