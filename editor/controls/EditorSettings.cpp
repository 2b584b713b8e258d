#include "editor/controls/EditorSettings.h"

#include <set>

#include "common/InvariantCompare.h"
#include "common/PathFunctions.h"

namespace
{

constexpr wchar_t kEditorSection[] = L"Settings_Editor";
constexpr wchar_t kSettingsSection[] = L"Settings";

struct NoCaseLess
{
    bool operator()(const CString& a, const CString& b) const
    {
        return CompareTextCaseOpt(RemoveTrailingBackslashes(a), RemoveTrailingBackslashes(b), false) < 0;
    }
};

CSettings* MakeEditorSettings()
{
    return new CEditorSettings();
}

} // namespace

bool IsAbsoluteFolderPath(const CString& path)
{
    return path.Find(L':') >= 0 || (path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

CEditorSettings::CEditorSettings(const CSettingsEnvironment& environment)
    : CSettings(environment), m_recentFolders(std::make_unique<std::vector<CString>>())
{}

CEditorSettings::~CEditorSettings() = default;

int CEditorSettings::LoadEditor()
{
    const int result = Load();
    const CSettingsFiles& files = GetFiles();
    ShowUncheckedPhrases =
        files.ReadInt(kEditorSection, L"ShowUncheckedPhrases", ShowUncheckedPhrases) != 0 ? 1 : 0;
    Preview = files.ReadInt(kEditorSection, L"Preview", Preview);
    ShowMetaInfoInTree = files.ReadInt(kEditorSection, L"ShowMetaInfoInTree", ShowMetaInfoInTree);
    return result;
}

int CEditorSettings::SaveEditor()
{
    const int result = Save();
    const CSettingsFiles& files = GetFiles();
    files.WriteInt(kEditorSection, L"ShowUncheckedPhrases", ShowUncheckedPhrases);
    files.WriteInt(kEditorSection, L"Preview", Preview);
    files.WriteInt(kEditorSection, L"ShowMetaInfoInTree", ShowMetaInfoInTree);
    return result;
}

void CEditorSettings::LoadMoreKeys()
{
    const CSettingsFiles& files = GetFiles();
    LastFile = files.ReadString(kEditorSection, L"LastFile", L"");

    m_recentFolders->clear();
    const int count = files.ReadInt(kSettingsSection, L"PrevFoldersCount", 0);
    for (int i = 0; i < count; ++i) {
        CString key;
        key.Format(L"Prev_Folder%d", i);
        CString folder = RemoveTrailingBackslashes(files.ReadString(kSettingsSection, key, L""));
        if (!folder.IsEmpty())
            m_recentFolders->push_back(folder);
    }
    if (!PhrasesDirectory.IsEmpty())
        m_recentFolders->push_back(RemoveTrailingBackslashes(GetDefaultPhrasesFolder()));
    RemoveDuplicateFolders();
}

void CEditorSettings::SaveMoreKeys()
{
    const CSettingsFiles& files = GetFiles();
    files.WriteString(kEditorSection, L"LastFile", LastFile);
    RemoveDuplicateFolders();
    files.WriteInt(kSettingsSection, L"PrevFoldersCount", GetPrevFoldersCount());
    for (int i = 0; i < GetPrevFoldersCount(); ++i) {
        CString key;
        key.Format(L"Prev_Folder%d", i);
        files.WriteString(kSettingsSection, key, GetRecentFolder(i));
    }
}

int CEditorSettings::GetLastSettingsTab() const
{
    const int tab = GetFiles().ReadInt(kEditorSection, L"LastSettingsTab", 0);
    return tab == 0 || tab == 1 ? tab : 0;
}

bool CEditorSettings::SetLastSettingsTab(int tab)
{
    return GetFiles().WriteInt(kEditorSection, L"LastSettingsTab", tab);
}

void CEditorSettings::SetPhrasesDirectory(LPCWSTR path)
{
    const CString given(path);
    PhrasesDirectory = MakeStoredPhrasesDirectory(given);
    if (!given.IsEmpty())
        AddRecentFolder(given);
}

void CEditorSettings::AddRecentFolder(LPCWSTR path)
{
    CString folder = RemoveTrailingBackslashes(CString(path));
    if (folder.IsEmpty())
        return;
    m_recentFolders->push_back(folder);
    RemoveDuplicateFolders();
}

CString CEditorSettings::GetRecentFolder(int index) const
{
    if (index < 0 || index >= GetPrevFoldersCount())
        return CString();
    const CString& entry = (*m_recentFolders)[static_cast<size_t>(index)];
    if (IsAbsoluteFolderPath(entry))
        return entry;
    return AddTrailingBackslash(GetFiles().GetEnvironment().GetProgramFolder()) + entry;
}

CString CEditorSettings::GetClipboardHistoryFolder_Editor() const
{
    return AddTrailingBackslash(GetFiles().GetEnvironment().GetProgramFolder()) + L"ClipboardHistory";
}

void CEditorSettings::RemoveDuplicateFolders()
{
    if (m_recentFolders->size() < 2)
        return;
    std::set<CString, NoCaseLess> ordered(m_recentFolders->begin(), m_recentFolders->end());
    m_recentFolders->assign(ordered.begin(), ordered.end());
}

void InstallEditorSettings()
{
    SetSettingsFactory(&MakeEditorSettings);
}

CEditorSettings& GetEditorSettings()
{
    return static_cast<CEditorSettings&>(GetSettings());
}
