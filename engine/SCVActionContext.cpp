#include "engine/SCVActionContext.h"

#include <memory>
#include <vector>

#include "common/RichEditConversion.h"
#include "common/RichEditEditing.h"
#include "engine/MacroEngine.h"
#include "engine/PhraseParts.h"
#include "engine/RtfMacroExpansion.h"

namespace
{
// One piece of an RTF phrase: a complete RTF document, or a prompt mark's default text.
struct RtfPiece
{
    bool prompt = false;
    CString text;
};

// Cuts an RTF phrase on the prompt marks of its text. Without marks (or when the converter cannot
// load it) the whole RTF is one piece.
std::vector<RtfPiece> SplitRtfOnPromptMarks(const CString& rtf)
{
    const HWND converter = GetRichEditConverter();
    if (converter != nullptr && SetRichEditTextAuto(converter, rtf)) {
        std::vector<PhrasePart> parts;
        SplitPhraseParts(GetRichEditTextRange(converter, 0, -1), parts);
        if (HasPromptPart(parts)) {
            std::vector<RtfPiece> pieces;
            for (const PhrasePart& part : parts) {
                if (part.type == PhrasePart::kPrompt) {
                    pieces.push_back(RtfPiece{true, part.defaultText});
                    continue;
                }
                SetRichEditSelection(converter, part.start, part.start + part.text.GetLength());
                pieces.push_back(RtfPiece{false, StreamOutWide(converter, false, true)});
            }
            return pieces;
        }
    }
    return {RtfPiece{false, rtf}};
}
} // namespace

CSCVActionContext::CSCVActionContext(HWND target, int locale, const CString& clipboardText,
                                     const CString& selectedText, int dataType)
    : m_target(target), m_clipboardText(clipboardText), m_selectedText(selectedText), m_dataType(dataType),
      m_locale(locale)
{}

bool CSCVActionContext::BuildActions(CSCVActionList& list, const CString& text)
{
    if (m_dataType < 0 || m_dataType > 2)
        return false;
    if (text.IsEmpty())
        return true;
    switch (m_dataType) {
    case 0:
        BuildPlainTextActions(list, text);
        break;
    case 1:
        BuildRtfActions(list, text);
        break;
    default:
        BuildCommandActions(list, text);
        break;
    }
    return true;
}

void CSCVActionContext::BuildPlainTextActions(CSCVActionList& list, const CString& text)
{
    BuildFromParts(list, text, [this](const CString& run) -> std::unique_ptr<CSCVAction> {
        CString expanded = run;
        int caretSteps = 0;
        ExpandPhraseMacros(expanded, m_selectedText, m_clipboardText, &caretSteps, nullptr,
                           static_cast<LCID>(m_locale));
        auto action = std::make_unique<CSCVAction_Text>(expanded, caretSteps, static_cast<LCID>(m_locale));
        action->SetPasteClipboard(m_pasteClipboard);
        return action;
    });
}

void CSCVActionContext::BuildRtfActions(CSCVActionList& list, const CString& rtf)
{
    // Every piece is cut out before any is expanded: an expansion reloads the converter.
    for (const RtfPiece& piece : SplitRtfOnPromptMarks(rtf)) {
        if (piece.prompt)
            AddPromptAction(list, piece.text);
        else
            AddRtfAction(list, piece.text);
    }
}

void CSCVActionContext::BuildCommandActions(CSCVActionList& list, const CString& text)
{
    BuildFromParts(list, text, [this](const CString& run) -> std::unique_ptr<CSCVAction> {
        const CString command = ExpandMacrosForWindow(m_target, run, m_selectedText, m_clipboardText);
        return std::make_unique<CSCVAction_Exec>(command, m_commandRunner);
    });
}

void CSCVActionContext::BuildFromParts(CSCVActionList& list, const CString& text,
                                       const PlainActionMaker& makePlain)
{
    std::vector<PhrasePart> parts;
    SplitPhraseParts(text, parts);
    for (const PhrasePart& part : parts) {
        if (part.type == PhrasePart::kPrompt)
            AddPromptAction(list, part.defaultText);
        else
            list.push_back(makePlain(part.text));
    }
}

void CSCVActionContext::AddPromptAction(CSCVActionList& list, const CString& defaultText)
{
    auto action = std::make_unique<CSCVAction_Prompt>(defaultText, 0, static_cast<LCID>(m_locale));
    action->SetPasteClipboard(m_pasteClipboard);
    list.push_back(std::move(action));
}

void CSCVActionContext::AddRtfAction(CSCVActionList& list, const CString& rtf)
{
    CString expanded = rtf;
    int caretSteps = 0;
    ExpandRtfMacros(expanded, m_selectedText, m_clipboardText, &caretSteps, nullptr,
                    static_cast<LCID>(m_locale), GetRichEditConverter());
    auto action = std::make_unique<CSCVAction_Rtf>(expanded, caretSteps, static_cast<LCID>(m_locale));
    action->SetPasteClipboard(m_pasteClipboard);
    list.push_back(std::move(action));
}

bool CSCVActionContext::ExecuteActions(CSCVActionList& list)
{
    if (list.empty())
        return false;
    for (const auto& action : list)
        action->Execute(::IsWindow(m_target) ? m_target : nullptr);
    return true;
}

CString CSCVActionContext::JoinActionTexts(const CSCVActionList& list)
{
    CString joined;
    for (const auto& action : list)
        joined += action->GetText();
    return joined;
}
