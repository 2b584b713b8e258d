#include "editor/app/phrases/PhrasesPaneTip.h"

#include "common/DateTimeTexts.h"
#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/app/frame/EditorTitles.h"
#include "editor/controls/EditorLook.h"
#include "engine/PhraseItemRecord.h"

namespace
{

constexpr wchar_t kTipRule[] = L"<br><hr color=gray><br>";

CString TipEscaped(const CString& text)
{
    CString escaped = text;
    escaped.Replace(L"<", L"&lt;");
    escaped.Replace(L">", L"&gt;");
    return escaped;
}

CString TipLabel(UINT id, LPCWSTR english)
{
    return L"<font style=b>" + LoadLocalizedTextOr(id, english) + L"</font>: ";
}

CString FirstLineOf(const CString& text)
{
    const int end = text.FindOneOf(L"\r\n");
    return end < 0 ? text : text.Left(end);
}

// The body cut at the last blank before the preview length, ended with an ellipsis.
CString TipPreviewCut(const CString& body)
{
    if (body.GetLength() <= kPhraseTipPreviewLength)
        return body;
    CString cut = body.Left(kPhraseTipPreviewLength);
    const int blank = cut.ReverseFind(L' ');
    if (blank > 0)
        cut = cut.Left(blank);
    return cut + L"\x2026";
}

// Every macro name of the text wrapped in the highlight font; one pass, so a highlight is never
// searched again.
CString HighlightMacroNames(const CString& text, const std::vector<CString>& names)
{
    CString result;
    int start = 0;
    for (int at = text.Find(L'%'); at >= 0; at = text.Find(L'%', at)) {
        const CString* found = nullptr;
        for (const CString& name : names) {
            if (!name.IsEmpty() && wcsncmp(text.GetString() + at, name.GetString(), name.GetLength()) == 0) {
                found = &name;
                break;
            }
        }
        if (!found) {
            ++at;
            continue;
        }
        result += text.Mid(start, at - start);
        result += L"<font size=14pt color=orange>" + *found + L"</font>";
        at += found->GetLength();
        start = at;
    }
    return result + text.Mid(start);
}

COLORREF TipKindColor(int kind)
{
    switch (kind) {
    case 1:
        return RGB(0, 0x80, 0);
    case 2:
        return 0xFF0000;
    default:
        return ::GetSysColor(COLOR_WINDOWTEXT);
    }
}

void AppendFlagRow(CString& text, UINT id, LPCWSTR english)
{
    text += L"<br><font color=red>*</font> " + FirstLineOf(LoadLocalizedTextOr(id, english));
}

} // namespace

CString BuildPhraseTipText(const PhraseTipFacts& facts, const std::vector<CString>& macroNames)
{
    CString text = facts.group ? TipLabel(176, L"Group") : TipLabel(61204, L"Menu Name");
    text += TipEscaped(facts.title);
    if (!facts.group) {
        text += kTipRule;
        text += TipLabel(61205, L"Action");
        if (facts.hasData)
            text += HighlightMacroNames(TipEscaped(TipPreviewCut(facts.bodyText)), macroNames);
        else
            text += MapCaseCopy(
                LoadLocalizedTextOr(61220, L"Attention. data of this phrase for pasting NOT specified!"));
        text += L"\r\n" + TipLabel(61208, L"Data Format");
        text += L"<font color=\"#" + ColorToHex(TipKindColor(facts.kind)) + L"\">" +
                GetDataFormatName(facts.kind) + L"</font>";
    }
    text += kTipRule;
    text += L"<font color=gray style=b>";
    text += facts.group ? TipLabel(175, L"Folder") : TipLabel(61206, L"File");
    text += TipEscaped(facts.path);
    if (!facts.group) {
        CString count;
        count.Format(L"%u", facts.usageCount);
        text += L"<br>" + TipLabel(170, L"Usage Count") + count;
        text += L"<br>" + TipLabel(179, L"Last time used");
        text += facts.lastUsed.IsEmpty() ? LoadLocalizedTextOr(178, L"I unknow...") : facts.lastUsed;
    }
    if (facts.disabledIsNoSelection)
        AppendFlagRow(text, 32820, L"Disabled Is No Selection");
    if (facts.useTitleOnly)
        AppendFlagRow(text, 32830, L"Use Title Only In Menu");
    text += L"<br><br>  <font style=i>" +
            LoadLocalizedTextOr(186, L"For copying/moving use the menu commands \"Cut/Copy/Paste\"") +
            L"</font></font>";
    if (text.GetLength() > kPhraseTipMaxLength)
        text = text.Left(kPhraseTipMaxLength);
    return text;
}

PhraseTipFacts PhraseTipFactsOf(const PhraseItemRecord& record)
{
    PhraseTipFacts facts;
    facts.group = record.IsFolder();
    facts.title = record.GetTitle();
    facts.path = record.GetPath();
    facts.kind = record.dataType;
    facts.hasData = !record.body.IsEmpty();
    if (!facts.group && facts.hasData) {
        // A little more than the preview shows, so that the cut still finds its blank.
        facts.bodyText = record.dataType == PhraseItemRecord::kTypeRtf
                             ? RtfToPlainTextPrefix(record.body, kPhraseTipPreviewLength + 1)
                             : record.body;
    }
    facts.usageCount = record.GetUsageCount();
    SYSTEMTIME used = {};
    SYSTEMTIME local = {};
    if (record.GetUsageDate(used))
        facts.lastUsed =
            DateTimeToText(::SystemTimeToTzSpecificLocalTime(nullptr, &used, &local) ? local : used);
    facts.disabledIsNoSelection = record.GetDisabledIsNoHasSelection() != 0;
    facts.useTitleOnly = record.GetUseTitleOnly() != 0;
    return facts;
}

CString PhraseItemTipText(const PhraseItemRecord& record)
{
    std::vector<CString> names;
    const int count = GetMacroCount();
    names.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i)
        names.push_back(GetMacroName(i));
    return BuildPhraseTipText(PhraseTipFactsOf(record), names);
}
