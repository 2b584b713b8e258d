#include "common/DialogLocalizer.h"

#include "common/DialogTemplateTexts.h"

#include <vector>

#include "common/IniFile.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"

namespace
{
const wchar_t kMissingControlText[] = L"8481EA66-F5B3-4054-A242-14D21A797294";
const int kControlTextChars = 10240;

// Controls whose text is the user's data, not a caption.
bool IsUntranslatedClass(HWND control)
{
    wchar_t className[20] = {};
    ::GetClassNameW(control, className, 20);
    return IsUntranslatedControlClass(className);
}

CString GetControlText(HWND control)
{
    CString text;
    wchar_t* buffer = text.GetBufferSetLength(kControlTextChars);
    buffer[0] = L'\0';
    int length = ::GetWindowTextW(control, buffer, kControlTextChars);
    text.ReleaseBufferSetLength(length > 0 ? length : 0);
    return text;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

INT_PTR CALLBACK TemplateCopyProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The template's style word: DLGTEMPLATEEX begins with version 1 and 0xFFFF
// and has its style at byte 12, DLGTEMPLATE at byte 0.
DWORD* TemplateStyle(std::vector<BYTE>& data)
{
    if (data.size() < 16)
        return nullptr;
    const WORD* words = reinterpret_cast<const WORD*>(data.data());
    const size_t offset = (words[0] == 1 && words[1] == 0xFFFF) ? 12 : 0;
    return reinterpret_cast<DWORD*>(data.data() + offset);
}
} // namespace

CDialogLocalizer::CDialogLocalizer(HWND* dialog, UINT dialogId, LPCWSTR suffix)
    : m_dialog(dialog), m_dialogId(dialogId), m_suffix(suffix)
{}

HMODULE CDialogLocalizer::GetTemplateModule() const
{
    return ::GetModuleHandleW(nullptr);
}

CString CDialogLocalizer::GetLanguageFilePath() const
{
    return GetCurrentLanguageFilePath();
}

CString CDialogLocalizer::GetSectionName() const
{
    CString section(L"Dialog");
    if (!m_suffix.IsEmpty()) {
        if (m_suffix[0] != L'_')
            section += L"_";
        section += m_suffix;
    }
    section.AppendFormat(L"_%d", static_cast<int>(m_dialogId));
    return section;
}

// A copy of the dialog from its template, never shown (a child template is
// made a pop-up so it needs no parent); its controls hold the English texts.
HWND CDialogLocalizer::CreateTemplateCopy() const
{
    HMODULE module = GetTemplateModule();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(m_dialogId), RT_DIALOG);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    if (!bytes || size == 0)
        return nullptr;
    std::vector<BYTE> data(bytes, bytes + size);
    DWORD* style = TemplateStyle(data);
    if (!style)
        return nullptr;
    *style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (*style & WS_CHILD)
        *style = (*style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
    return ::CreateDialogIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(data.data()), nullptr,
                                        TemplateCopyProc, 0);
}

void CDialogLocalizer::Translate()
{
    HWND dialog = m_dialog ? *m_dialog : nullptr;
    if (!dialog || !::IsWindow(dialog))
        return;
    const CString file = GetLanguageFilePath();
    const CString example = GetLocalizeExamplePath(file);
    const CString section = GetSectionName();

    HWND copy = CreateTemplateCopy();
    const std::vector<HWND> englishControls = copy ? ChildWindows(copy) : std::vector<HWND>();
    const std::vector<HWND> controls = ChildWindows(dialog);
    for (size_t index = 0; index < controls.size(); ++index) {
        HWND english = nullptr;
        if (copy) {
            // Same template, same order; a control added at run time is found by its id.
            const int id = ::GetDlgCtrlID(controls[index]);
            if (index < englishControls.size() && ::GetDlgCtrlID(englishControls[index]) == id)
                english = englishControls[index];
            else
                english = ::GetDlgItem(copy, id);
        }
        TranslateControl(controls[index], english, copy != nullptr, file, example, section);
    }
    if (copy) {
        ::EndDialog(copy, 2);
        ::DestroyWindow(copy);
    }
}

void CDialogLocalizer::TranslateControl(HWND control, HWND englishControl, bool haveTemplate,
                                        const CString& file, const CString& example,
                                        const CString& section) const
{
    const int id = ::GetDlgCtrlID(control);
    if (m_excluded.count(id) != 0 || IsUntranslatedClass(control))
        return;
    CString key;
    key.Format(L"%d", id);
    CString value;
    IniReadStringWithDefault(file, section, key, kMissingControlText, kControlTextChars, value);

    // English from the template; only without a template the control's own
    // text stands in for it.
    const CString english = haveTemplate ? (englishControl ? GetControlText(englishControl) : CString())
                                         : GetControlText(control);
    const CString storedEnglish = EscapeLanguageText(english);
    if (!english.IsEmpty() && !example.IsEmpty() && StringsDifferNoCase(example, file))
        WriteLanguageText(example, section, key, storedEnglish);

    if (!value.IsEmpty() && StringsDifferNoCase(value, kMissingControlText) && !file.IsEmpty()) {
        CString translated = UnescapeLanguageText(value);
        translated.Remove(L'\x2022');
        ::SetWindowTextW(control, translated);
        return;
    }
    if (!english.IsEmpty())
        WriteLanguageText(file, section, key, storedEnglish);
    if (haveTemplate && !english.IsEmpty())
        ::SetWindowTextW(control, english);
}
