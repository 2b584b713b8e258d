#include "editor/app/frame/EditorTitles.h"

#include <shellapi.h>

#include <vector>

#include "common/FileVersionInfo.h"
#include "common/LocalizedString.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "editor/controls/EditorSettings.h"

namespace
{

constexpr wchar_t kEditorTitle[] = L"Scrivolanter : RedodeZovuva";

CString LocalizedOr(UINT id, LPCWSTR fallback)
{
    CString text = LoadLocalizedString(id);
    return text.IsEmpty() ? CString(fallback) : text;
}

} // namespace

CString GetDataFormatName(int format)
{
    switch (format) {
    case 0:
        return LocalizedOr(61212, L"Plain text");
    case 1:
        return LocalizedOr(61213, L"Formatted text (RTF)");
    case 2:
        return LocalizedOr(134, L"Start application");
    default:
        return IntToString(format);
    }
}

EditorTitleFacts GetEditorTitleFacts()
{
    EditorTitleFacts facts;
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    if (info.Read() && !info.GetProductVersion().IsEmpty()) {
        facts.hasVersion = true;
        facts.versionHead = info.GetProductVersionHead();
        facts.versionTail = info.GetProductVersionTail();
    }
    bool member = false;
    facts.isAdmin = IsUserInAdminGroup(member) && member;
    return facts;
}

CString BuildEditorTitle(LPCWSTR label, const EditorTitleFacts& facts)
{
    CString title = kEditorTitle;
    if (facts.hasVersion) {
        CString head = facts.versionHead;
        const int dot = head.ReverseFind(L'.');
        if (dot >= 0)
            head = head.Left(dot) + head.Mid(dot + 1);
        title += L" " + head;
        CString labelText = label && *label ? CString(label) : CString(L"b");
        if (labelText.GetLength() > 1)
            title += L" " + labelText + L" " + facts.versionTail;
        else
            title += labelText + facts.versionTail;
    }
    if (facts.isAdmin)
        title += L"^";
    else
        title += L" [" + LocalizedOr(201, L"NOTE: you do not have administrator rights") + L"]";
    return title;
}

CString BuildEditorTitle(LPCWSTR label)
{
    return BuildEditorTitle(label, GetEditorTitleFacts());
}

CString BuildFrameCaption(const EditorTitleFacts& facts, const CString& phrasesFolder)
{
    const CString folder = RemoveTrailingBackslashes(phrasesFolder);
    CString caption = BuildEditorTitle(L"build", facts) + L" - " + folder;
    if (!FolderExists(folder))
        caption += L"  !!!!NOT EXISTS !!!!";
    else if (!CanCurrentUserWrite(folder))
        caption += L"  !!!!WRITING DENIED !!!!";
    return caption;
}

CString BuildFrameCaption()
{
    return BuildFrameCaption(GetEditorTitleFacts(), GetEditorSettings().GetPhrasesFolderWithoutSlash());
}

CString GetEditorBuildStamp()
{
    return CString(__DATE__) + L" " + CString(__TIME__);
}

bool DeleteToRecycleBin(HWND owner, LPCWSTR path, bool confirm)
{
    if (!path || !*path)
        return false;
    const size_t length = ::lstrlenW(path);
    std::vector<wchar_t> from(length + 2, L'\0'); // the list ends with two zeros
    ::CopyMemory(from.data(), path, length * sizeof(wchar_t));
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags =
        static_cast<FILEOP_FLAGS>(confirm ? FOF_ALLOWUNDO : (FOF_ALLOWUNDO | FOF_NOCONFIRMATION));
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

bool DeleteToRecycleBin(LPCWSTR path)
{
    return DeleteToRecycleBin(nullptr, path, false);
}
