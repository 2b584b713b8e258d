#include "editor/controls/EditorSettings.h"

#include <algorithm>
#include <cstring>
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

template <typename T>
bool SameSettingsValue(const T& a, const T& b)
{
    return a == b;
}

template <typename T, size_t N>
bool SameSettingsValue(const T (&a)[N], const T (&b)[N])
{
    return std::equal(a, a + N, b);
}

bool SameSettingsValue(const LOGFONTW& a, const LOGFONTW& b)
{
    return memcmp(&a, &b, sizeof(a)) == 0;
}

template <typename T>
void CopySettingsValue(T& to, const T& from)
{
    to = from;
}

template <typename T, size_t N>
void CopySettingsValue(T (&to)[N], const T (&from)[N])
{
    std::copy(from, from + N, to);
}

// Calls `visit` with a pointer to each value the editor's settings read and write (the recent-folder
// list aside).
template <typename Visit>
void ForEachSettingsValue(Visit visit)
{
    visit(&CSettings::Pinned_FloatPane_On_Start);
    visit(&CSettings::DaysCheckForUpdates);
    visit(&CSettings::ClipboardSpyMethod_v2_22);
    visit(&CSettings::PhrasesDirectory);
    visit(&CSettings::WriteLog);
    visit(&CSettings::InsertEncodeCommandIntoMenu);
    visit(&CSettings::Language);
    visit(&CSettings::AddLastUsedMenuToBegin_Count);
    visit(&CSettings::ExtMenuCommand);
    visit(&CSettings::ShowIconInAltTab_ForFP);
    visit(&CSettings::ShowHistoryPaneOnStart);
    visit(&CSettings::ClipboardFormats);
    visit(&CSettings::HotkeyVirtualKey);
    visit(&CSettings::HotkeyModifiers);
    visit(&CSettings::ExtHotkey);
    visit(&CSettings::Hotkey_Doubled);
    visit(&CSettings::ClipboardHistory);
    visit(&CSettings::ClipboardHistoryMax);
    visit(&CSettings::InsertCHIntoMenu);
    visit(&CSettings::AutoCheckForUpdates);
    visit(&CSettings::SoundOnEventsV094);
    visit(&CSettings::DelayAutoLoadSeconds_NextRelease);
    visit(&CSettings::MenuToolTips_V0_94_A22);
    visit(&CSettings::AddLastUsedMenuToBegin);
    visit(&CSettings::AppendCHAsSubMenu_ForV140);
    visit(&CSettings::Sorting);
    visit(&CSettings::TextPasteMethod_v150);
    visit(&CSettings::PrintLTChars);
    visit(&CSettings::ShowTrayBallonOnHotkey);
    visit(&CSettings::FontForMenu);
    visit(&CSettings::SaveClipboardHistory_v198);
    visit(&CSettings::MaxHistoryItemsInMenu);
    visit(&CEditorSettings::ShowUncheckedPhrases);
    visit(&CEditorSettings::Preview);
    visit(&CEditorSettings::ShowMetaInfoInTree);
    visit(&CEditorSettings::LastFile);
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
    const int result = LoadValues();
    TakeBaseline();
    return result;
}

int CEditorSettings::LoadValues()
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
    if (!m_baseline) {
        const int result = WriteAll();
        TakeBaseline();
        return result;
    }
    CEditorSettings disk(GetFiles().GetEnvironment());
    disk.LoadValues();
    const bool changed = MergeWith(disk);
    TakeBaseline();
    return changed ? disk.WriteAll() : 1;
}

int CEditorSettings::ReloadEditor()
{
    if (!m_baseline)
        return LoadEditor();
    CEditorSettings disk(GetFiles().GetEnvironment());
    const int result = disk.LoadValues();
    CEditorSettings onDisk(GetFiles().GetEnvironment());
    onDisk.CopyValuesFrom(disk);
    MergeWith(disk);
    m_baseline->CopyValuesFrom(onDisk);
    return result;
}

void CEditorSettings::TakeBaseline()
{
    if (!m_baseline)
        m_baseline = std::make_unique<CEditorSettings>(GetFiles().GetEnvironment());
    m_baseline->CopyValuesFrom(*this);
}

void CEditorSettings::CopyValuesFrom(const CEditorSettings& other)
{
    ForEachSettingsValue([&](auto member) { CopySettingsValue(this->*member, other.*member); });
    *m_recentFolders = *other.m_recentFolders;
}

void CEditorSettings::TakeChangedValues(const CEditorSettings& before, const CEditorSettings& after)
{
    ForEachSettingsValue([&](auto member) {
        if (!SameSettingsValue(before.*member, after.*member))
            CopySettingsValue(this->*member, after.*member);
    });
    if (*before.m_recentFolders != *after.m_recentFolders)
        *m_recentFolders = *after.m_recentFolders;
}

bool CEditorSettings::SameValuesAs(const CEditorSettings& other) const
{
    bool same = *m_recentFolders == *other.m_recentFolders;
    ForEachSettingsValue([&](auto member) { same = same && SameSettingsValue(this->*member, other.*member); });
    return same;
}

bool CEditorSettings::MergeWith(CEditorSettings& disk)
{
    bool changed = false;
    ForEachSettingsValue([&](auto member) {
        if (SameSettingsValue(this->*member, m_baseline.get()->*member)) {
            CopySettingsValue(this->*member, disk.*member);
            return;
        }
        CopySettingsValue(disk.*member, this->*member);
        changed = true;
    });
    if (*m_recentFolders == *m_baseline->m_recentFolders) {
        *m_recentFolders = *disk.m_recentFolders;
    } else {
        *disk.m_recentFolders = *m_recentFolders;
        changed = true;
    }
    return changed;
}

int CEditorSettings::WriteAll()
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
    // The default folder is offered only while it exists (a missing one would open an empty tree).
    if (!PhrasesDirectory.IsEmpty() && FolderExists(GetDefaultPhrasesFolder()))
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
