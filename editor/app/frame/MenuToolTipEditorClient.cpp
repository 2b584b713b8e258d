#include "editor/app/frame/MenuToolTipEditorClient.h"

#include "common/TextDecoration.h"

#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/WellKnownNames.h"
#include "editor/app/text/EditorMacroMenu.h"
#include "editor/app/EditorServices.h"
#include "editor/controls/EditorSettings.h"

#include <commctrl.h>

namespace
{

constexpr UINT kCmdNewFromClipboard = 32775;
constexpr UINT kCmdMakeLanguageFile = 32823;
constexpr UINT kCmdZipLog = 32826;
constexpr UINT kCmdClipsHistoryFolder = 32848;
constexpr UINT kCmdChooseFolder = 32833;
constexpr UINT kCmdPaste = 57637;
constexpr UINT kStrLanguageFileNote = 183;
constexpr UINT kStrLanguageTip = 61219;
constexpr int kMacroIconId = 142;
constexpr int kProgramIconId = 128;

// The text cut before its first "\n" when that is not the first character.
CString CutAtFirstLineBreak(const CString& text)
{
    const int lineBreak = text.Find(L'\n');
    return lineBreak >= 1 ? text.Left(lineBreak) : text;
}

// The first line of the clipboard's text, leading line breaks and tabs trimmed.
CString ClipboardFirstLine()
{
    CString text;
    if (!ReadClipboardFirstLine(text))
        return CString();
    text.TrimLeft(L"\r\n\t");
    int end = 0;
    while (end < text.GetLength() && text[end] != L'\r' && text[end] != L'\n')
        ++end;
    return end >= 1 ? text.Left(end) : text;
}

HICON LoadSmallIcon(int id)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}

} // namespace

CMenuToolTipEditorClient::CMenuToolTipEditorClient(CEditorSettings& settings,
                                                   const std::vector<CString>* languages)
    : m_settings(settings), m_languages(languages)
{}

CMenuToolTipEditorClient::~CMenuToolTipEditorClient()
{
    m_pasteText.Empty();
    if (m_macroIcon)
        ::DestroyIcon(m_macroIcon);
    if (m_programIcon)
        ::DestroyIcon(m_programIcon);
}

bool CMenuToolTipEditorClient::Create(HWND owner)
{
    CMenuToolTip::Create(owner, L"Tip Text", ::GetModuleHandleW(nullptr), TTS_NOPREFIX | TTS_ALWAYSTIP,
                         nullptr);
    return GetTipWindow() != nullptr;
}

bool CMenuToolTipEditorClient::IsNoTipCommand(UINT id) const
{
    if (id >= 1000 && id <= 1100)
        return true;
    return id == SC_SIZE || id == SC_MINIMIZE || id == SC_MAXIMIZE || id == SC_CLOSE || id == SC_RESTORE;
}

INT_PTR CMenuToolTipEditorClient::GetIconForId(UINT id)
{
    if (id >= kFirstMacroCommand && id <= kLastMacroCommand) {
        if (!m_macroIcon)
            m_macroIcon = LoadSmallIcon(kMacroIconId);
        if (m_macroIcon)
            return reinterpret_cast<INT_PTR>(m_macroIcon);
    }
    if (HICON icon = GetEditorMenuIcon(id))
        return reinterpret_cast<INT_PTR>(icon);
    if (!m_programIcon)
        m_programIcon = LoadSmallIcon(kProgramIconId);
    return m_programIcon ? reinterpret_cast<INT_PTR>(m_programIcon) : TTI_INFO;
}

void CMenuToolTipEditorClient::GetTipText(CString& text, UINT id, HMENU, CString&)
{
    text = GetTipString(id);
}

CString CMenuToolTipEditorClient::GetCommandPromptText(UINT id)
{
    return CutAtFirstLineBreak(LoadLocalizedString(id));
}

CString CMenuToolTipEditorClient::GetTipString(UINT id)
{
    if (id >= kFirstMacroCommand && id <= kLastMacroCommand)
        return GetMacroTip(id);
    if (id >= kFirstRecentFolderCommand && id <= kLastRecentFolderCommand)
        return RecentFolderTip(id);
    CString text = GetCommandPromptText(id);
    AddLiveFacts(text, id);
    return text;
}

CString CMenuToolTipEditorClient::RecentFolderTip(UINT id) const
{
    return CutAtFirstLineBreak(LoadLocalizedString(kCmdChooseFolder)) + L"\n[" +
           m_settings.GetRecentFolder(static_cast<int>(id - kFirstRecentFolderCommand)) + L"]";
}

void CMenuToolTipEditorClient::AddLiveFacts(CString& text, UINT id) const
{
    if (id == kCmdNewFromClipboard) {
        const CString line = ClipboardFirstLine();
        if (!line.IsEmpty())
            text += L"\r\n\r\n[" + line + L"...]";
    } else if (id == kCmdMakeLanguageFile) {
        const CString note = LoadLocalizedString(kStrLanguageFileNote);
        if (!note.IsEmpty())
            text += L"\n\n" + note;
    } else if (id == kCmdZipLog) {
        text +=
            L"\r\n \x00BB " + GetLogReportPath(m_settings.GetFiles().GetEnvironment(), GetAppDataFolder());
    } else if (id == kCmdClipsHistoryFolder) {
        AppendDashLine(text, 20, true);
        text += L"[" + m_settings.GetClipboardHistoryFolder_Editor() + L"]";
    } else if (id == kCmdPaste) {
        if (!m_pasteText.IsEmpty())
            text += L"\n\n " + m_pasteText;
    } else if (id >= kFirstLanguageCommand && id <= kLastLanguageCommand) {
        const CString tip = LanguageTip(id);
        if (!tip.IsEmpty())
            text += L"\n" + MakeDashes(30) + L"\n" + tip;
    }
}

CString CMenuToolTipEditorClient::LanguageTip(UINT id) const
{
    CString tip = LoadLocalizedString(kStrLanguageTip);
    const size_t index = id - kFirstLanguageCommand;
    if (!m_languages || index >= m_languages->size())
        return tip;
    const CString& file = (*m_languages)[index];
    CString path = file;
    if (!file.IsEmpty() && file.Find(L'\\') < 0) {
        path = m_settings.GetFiles().GetEnvironment().GetProgramFolder();
        if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
            path += L"\\";
        path += file;
    }
    LANG_FILE_INFO info;
    GetLangFileInfo(path, info);
    if (info.LangLocalized.IsEmpty())
        return tip;
    tip += L"\r\n\r\n" + info.LangLocalized + L"\r\n" + file;
    if (!file.IsEmpty())
        tip += L", ";
    tip += L"[" + (info.LangPrefix.IsEmpty() ? CString(L"Lang prefix not defined") : info.LangPrefix) + L"]";
    return tip;
}
