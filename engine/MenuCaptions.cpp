#include "engine/MenuCaptions.h"

#include <algorithm>

#include "common/LocalizedString.h"
#include "common/NumberTexts.h"
#include "common/PathFunctions.h"
#include "common/RichEditConversion.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/TextUtilities.h"
#include "engine/DataNeededHander.h"
#include "engine/KeyboardLayoutMacros.h"
#include "engine/MacroContext.h"
#include "engine/MacroEngine.h"
#include "engine/PhraseItemRecord.h"
#include "engine/RtfMacroExpansion.h"
#include "engine/EngineDialogsRes.h"

namespace
{
// Stands in for "%CURSOR_POS%" while a caption is expanded, so that its place can be found after.
const wchar_t kCaretMarker[] = L"{B43C2CC5-77A0-44dd-8DAA-8EAD133B41A3}";
// The same marker written into RTF, where braces must be escaped to stay text.
const wchar_t kRtfCaretMarker[] = L"\\{B43C2CC5-77A0-44dd-8DAA-8EAD133B41A3\\}";
const wchar_t kSelectedTextMacro[] = L"%SELECTED_TEXT%";
const wchar_t kClipboardTextMacro[] = L"%CLIPBOARD_TEXT%";

CString BracketedMenuLine(const CString& text)
{
    CString line = text;
    ShortenLineForMenu(line, kPhraseCaptionMaxChars);
    return CString(L" [") + line + L"]";
}

// Expands a plain-text or command body for its caption. Gives the caret position and whether any
// macro was replaced.
// Captions and previews show the start of a body: a long body is cut to this many characters
// before its macros are expanded, so a phrase of a megabyte costs no more than a short one.
constexpr int kPreviewBodyChars = 4096;

// The RTF source read for the same number of characters of text (control words, font and colour
// tables take room): a long RTF body is cut here before it is converted. The converter reads a
// cut RTF text as far as it goes.
constexpr int kPreviewRtfSourceChars = 10 * kPreviewBodyChars;

CString BodyPrefix(const CString& body)
{
    return body.GetLength() > kPreviewBodyChars ? body.Left(kPreviewBodyChars) : body;
}

CString RtfBodyHead(const CString& rtf)
{
    return rtf.GetLength() > kPreviewRtfSourceChars ? rtf.Left(kPreviewRtfSourceChars) : rtf;
}

CString ExpandPlainCaptionBody(const CString& body, const CMacroContext& context, LCID lcid,
                               int& caretPosition, bool& replaced)
{
    CString expanded = body;
    expanded.Replace(kMacroCursorPos, kCaretMarker);
    int caretSteps = 0;
    replaced = ExpandPhraseMacros(expanded, context.selectedText, context.clipboardText, &caretSteps, nullptr,
                                  lcid) > 0;
    const int markerAt = expanded.Find(kCaretMarker);
    if (markerAt >= 0) {
        caretPosition = markerAt;
        expanded.Replace(kCaretMarker, L" ");
    } else if (caretSteps > 0) {
        caretPosition = expanded.GetLength() - caretSteps;
    }
    return expanded;
}

CString ExpandRtfCaptionBody(const CString& body, const CMacroContext& context, LCID lcid, int& caretPosition)
{
    CString rtf = body;
    rtf.Replace(kMacroCursorPos, kRtfCaretMarker);
    int caretSteps = 0;
    ExpandRtfMacros(rtf, context.selectedText, context.clipboardText, &caretSteps, nullptr, lcid,
                    GetRichEditConverter());
    CString caption = RtfToPlainText(rtf);
    const int markerAt = caption.Find(kCaretMarker);
    if (markerAt >= 0) {
        if (caretSteps > 0)
            caretPosition = markerAt;
        caption.Replace(kCaretMarker, L" ");
    }
    ShortenLineForMenu(caption, kPhraseCaptionMaxChars);
    return caption;
}

void ShowLineBreaksAndTabs(CString& caption)
{
    caption.Replace(L"\r\n", L"\u00B6");
    caption.Replace(L"\n", L"\u00B6");
    caption.Replace(L"\r", L"\u00B6");
    caption.Replace(L"\t", L"  ");
}

LANGID RequestedLayout(const PhraseItemRecord& record)
{
    if (record.dataType == MenuItemRecord::kTypeRtf)
        return GetRtfActivateKlLayout(RtfBodyHead(record.body));
    CString copy = record.body;
    return RemoveActivateKlMacros(copy);
}
} // namespace

CString GetPhraseKindText(int dataType)
{
    switch (dataType) {
    case MenuItemRecord::kTypeText:
        return LoadLocalizedTextOr(IDS_ENGINE_INSERT_PLAIN_TEXT, L"Insert plain text");
    case MenuItemRecord::kTypeRtf:
        return LoadLocalizedTextOr(IDS_ENGINE_INSERT_FORMATTED, L"Insert formatted text");
    case MenuItemRecord::kTypeExec:
        return LoadLocalizedTextOr(IDS_ENGINE_EXECUTE_APPLICATION, L"Execute application");
    default:
        return CString();
    }
}

CString BuildHistorySubMenuCaption(int itemCount)
{
    const CSettings& settings = GetSettings();
    CString value;
    if (settings.MaxHistoryItemsInMenu != 0)
        value.Format(L"%d\\%d", std::min(itemCount, settings.MaxHistoryItemsInMenu), itemCount);
    else
        value.Format(L"%d", itemCount);
    const CString caption =
        LoadLocalizedTextOr(IDS_ENGINE_CLIPBOARD_HISTORY, L"Clipboard History") + L" [" + value + L"]";
    WriteLogLine(CString(L"History Sub Menu Text: ") + caption);
    return caption;
}

CString GetHistoryDataText()
{
    return LoadLocalizedTextOr(IDS_ENGINE_HISTORY_DATA, L"Data from clipboard history");
}

CString BuildPhraseTitleCaption(const PhraseItemRecord& record)
{
    CString caption = record.GetTitle();
    if (caption.IsEmpty())
        caption = GetFileNameFromPath(record.GetPath());
    ShortenTextMiddle(caption, kPhraseCaptionMaxChars);
    return caption;
}

CString BuildPhraseMenuCaption(const PhraseItemRecord& record, const IDataNeededHander& menu,
                               const CMacroContext& context, int& caretPosition)
{
    caretPosition = -1;
    if (record.GetUseTitleOnly())
        return BuildPhraseTitleCaption(record);

    CString caption = record.GetTitle();
    if (record.body.Find(kSelectedTextMacro) >= 0)
        caption += BracketedMenuLine(context.selectedText);
    if (record.body.Find(kClipboardTextMacro) >= 0)
        caption += BracketedMenuLine(context.clipboardText);

    const LCID lcid = menu.GetTargetLangId();
    switch (record.dataType) {
    case MenuItemRecord::kTypeText:
    case MenuItemRecord::kTypeExec: {
        bool replaced = false;
        const CString expanded =
            ExpandPlainCaptionBody(BodyPrefix(record.body), context, lcid, caretPosition, replaced);
        if (record.dataType == MenuItemRecord::kTypeText && replaced)
            caption = expanded;
        break;
    }
    case MenuItemRecord::kTypeRtf:
        caption = ExpandRtfCaptionBody(RtfBodyHead(record.body), context, lcid, caretPosition);
        break;
    default:
        break;
    }

    ShowLineBreaksAndTabs(caption);
    if (caption.IsEmpty())
        caption = BuildPhraseTitleCaption(record);
    ShortenLineForMenu(caption, kPhraseCaptionMaxChars);
    return caption;
}

CString BuildPhraseTooltipText(const PhraseItemRecord& record, const CString& caption, LCID lcid,
                               const CString& selected, const CString& clipboard, CString* expandedBody)
{
    CString text = GetPhraseKindText(record.dataType) + L" \u00BB " + caption;

    const bool rtf = record.dataType == MenuItemRecord::kTypeRtf;
    CString body = rtf ? RtfToPlainText(RtfBodyHead(record.body)) : record.body;
    // The preview shows the start of a long body; the count still covers the rest of a plain body,
    // taken as it stands. The text of a long RTF body is known only as far as its head: no count.
    const bool countKnown = !rtf || record.body.GetLength() <= kPreviewRtfSourceChars;
    const int uncounted = body.GetLength() > kPreviewBodyChars ? body.GetLength() - kPreviewBodyChars : 0;
    body = BodyPrefix(body);
    if (!body.IsEmpty()) {
        ExpandPhraseMacros(body, selected, clipboard, nullptr, nullptr, lcid);
        body.Replace(kSelectedTextMacro, selected);
        body.Replace(kClipboardTextMacro, clipboard);
        RemoveActivateKlMacros(body);
        if (record.dataType != MenuItemRecord::kTypeExec && countKnown)
            text += CString(L"\n") + FormatCharsCountText(body.GetLength() + uncounted);
        if (!body.IsEmpty())
            text += CString(L"\r\n\r\n") + body;
    }
    if (expandedBody != nullptr)
        *expandedBody = body;

    const LANGID layout = RequestedLayout(record);
    if (layout != 0) {
        CString language = GetLocaleLanguageText(layout, false);
        language.MakeUpper();
        text += CString(L"\r\n+ ") +
                LoadLocalizedTextOr(IDS_ENGINE_ACTIVATE_LAYOUT, L"Activate keyboard layout") + L"   " +
                language;
    }
    return text;
}
