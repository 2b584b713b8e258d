#include "editor/app/text/EditorMacros.h"
#include "editor/app/frame/EditorWindowServices.h"

#include "common/FileVersionInfo.h"
#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"

#include "engine/KeyboardLayoutMacros.h"
#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"
#include "engine/PhraseParts.h"
#include "engine/RtfMacroExpansion.h"

#include <set>

namespace
{

constexpr int kMaxPreviewLayouts = 10;

// Replaces every occurrence of `name` in the control, going on after each inserted value.
int ReplaceAllInRichEdit(HWND richEdit, const CString& name, const CString& value)
{
    int count = 0;
    int start = 0;
    for (;;) {
        int end = 0;
        if (RichEditReplaceText(richEdit, name, value, start, &end) < 0) {
            return count;
        }
        ++count;
        start = end;
    }
}

CString MainProgramVersion()
{
    CFileVersionInfo info(GetProgramFolderFile(L"Scrivolanter.exe"));
    return info.Read() ? info.GetField(CFileVersionInfo::FieldFileVersion) : CString();
}

} // namespace

CString GetEditorMacroValue(const CString& name, const CString& selectedText, const CString& clipboardText,
                            LCID lcid)
{
    if (name.CompareNoCase(L"%NUMBERCHARS_SELTEXT%") == 0)
        return IntToString(selectedText.GetLength());
    if (name.CompareNoCase(L"%NUMBERCHARS_CLIPBOARD%") == 0)
        return IntToString(clipboardText.GetLength());
    if (name.CompareNoCase(L"%SCV_VERSION%") == 0)
        return MainProgramVersion();
    return GetMacroValue(name, selectedText, clipboardText, lcid);
}

int ExpandEditorPhraseMacros(CString& text, const CString& selectedText, const CString& clipboardText,
                             int* cursorBack, LANGID* layoutId, LCID lcid)
{
    return ExpandPhraseMacros(text, selectedText, clipboardText, cursorBack, layoutId, lcid,
                              &GetEditorMacroValue);
}

int GetMacroCount()
{
    return static_cast<int>(GetMacroTable().size());
}

CString GetMacroName(int index)
{
    const std::vector<CString>& table = GetMacroTable();
    return (index >= 0 && index < static_cast<int>(table.size())) ? table[index] : CString();
}

int ExpandMacrosInRichEdit(HWND richEdit, const CString& selectedText, const CString& clipboardText,
                           LCID lcid)
{
    int count = 0;
    for (const CString& name : GetMacroTable()) {
        if (name == kMacroCursorPos || name == kMacroTrimProtocols) {
            continue;
        }
        count += ReplaceAllInRichEdit(richEdit, name,
                                      GetEditorMacroValue(name, selectedText, clipboardText, lcid));
    }
    count += ReplaceAllInRichEdit(richEdit, kMacroTrimProtocols, CString());
    count += ReplaceAllInRichEdit(richEdit, kMacroCursorPos, CString());
    return count;
}

void SplitAtInputMarkers(const CString& text, std::vector<EditorTextPart>& parts)
{
    parts.clear();
    std::vector<PhrasePart> runs;
    SplitPhraseParts(text, runs);
    if (!HasPromptPart(runs)) {
        const InputMarker* marker = GetInputMarker(0);
        const bool unclosed = marker != nullptr && text.Find(marker->start) >= 0;
        if (!unclosed) {
            parts.push_back(EditorTextPart{text, kPartWholeText, nullptr});
            return;
        }
    }
    bool markerSeen = false;
    for (const PhrasePart& run : runs) {
        EditorTextPart part{run.text, kPartPlainOrMarker, nullptr};
        if (run.type == PhrasePart::kPrompt) {
            part.marker = GetInputMarker(0);
            markerSeen = true;
        } else if (const InputMarker* marker = GetInputMarker(0);
                   marker != nullptr &&
                   run.text.Left(static_cast<int>(wcslen(marker->start))) == marker->start) {
            part.kind = kPartUnclosedMarker;
        } else if (!markerSeen) {
            part.kind = kPartBeforeFirstMarker;
        }
        parts.push_back(part);
    }
}

LANGID RemoveLayoutMacros(CString& text)
{
    return RemoveActivateKlMacros(text);
}

CString DescribeLayoutMacro(const CString& name, const CString& description)
{
    const LayoutMacroMap layouts = BuildLayoutMacroMap();
    const auto found = layouts.find(name);
    if (found == layouts.end()) {
        return CString();
    }
    CString language = GetLocaleLanguageText(MAKELCID(found->second, SORT_DEFAULT), false);
    if (language.IsEmpty()) {
        return description;
    }
    language.MakeUpper();
    return description + L"\r\r     " + language;
}

CString PreviewMacroValue(const CString& name, HWND window, const CString& selectedText)
{
    const CString clipboard = GetMacroEnvironment().ReadClipboardText();
    std::vector<HKL> layouts = GetMacroEnvironment().GetKeyboardLayouts();
    if (layouts.size() > kMaxPreviewLayouts) {
        layouts.resize(kMaxPreviewLayouts);
    }
    if (layouts.empty()) {
        return GetEditorMacroValue(name, selectedText, clipboard, GetKeyboardLocaleOf(window));
    }
    std::set<CString, OrdinalTextLess> values;
    for (HKL layout : layouts) {
        const LCID lcid = MAKELCID(LOWORD(reinterpret_cast<UINT_PTR>(layout)), SORT_DEFAULT);
        values.insert(GetEditorMacroValue(name, selectedText, clipboard, lcid));
    }
    CString preview;
    for (const CString& value : values) {
        if (!preview.IsEmpty()) {
            preview += L"\n\n";
        }
        preview += value;
    }
    return preview;
}
