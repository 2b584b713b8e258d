#include "engine/DataNeededHander.h"

#include <algorithm>

#include "common/Settings.h"
#include "common/SharedLog.h"
#include "engine/MenuCaptions.h"
#include "engine/PhraseStore.h"

namespace
{
struct PathSearch
{
    const CString* path;
    int id;
};

bool MatchPath(PhraseItemRecord& record, void* context, PhraseItemRecord*)
{
    auto* search = static_cast<PathSearch*>(context);
    if (record.IsFolder() || record.GetPath().IsEmpty() || record.GetPath().CompareNoCase(*search->path) != 0)
        return true;
    search->id = record.id;
    return false;
}

// The id of the phrase whose file is at the path; -1 when there is none.
int FindIdByPath(CPhraseStore* store, const CString& path)
{
    if (!store || path.IsEmpty())
        return -1;
    PathSearch search{&path, -1};
    store->Walk(&MatchPath, &search);
    return search.id;
}

CString PathOfId(CPhraseStore* store, int id)
{
    const PhraseItemRecord* record = store ? store->FindItemById(id) : nullptr;
    return record && !record->IsFolder() ? record->GetPath() : CString();
}
} // namespace

IDataNeededHander::IDataNeededHander(CPhraseStore* phraseStore, CSCVWndClipboardHandler* clipboardHandler)
    : m_phraseStore(phraseStore), m_clipboardHandler(clipboardHandler)
{}

IDataNeededHander::~IDataNeededHander() = default;

void IDataNeededHander::SetTargetInfo(LANGID languageId, const CString& selectedText, HWND target)
{
    m_targetLangId = languageId;
    m_selectedText = selectedText;
    m_targetWindow = target;
}

void IDataNeededHander::SetLastIdFilter(LastIdFilter filter, void* userData)
{
    m_lastIdFilter = filter;
    m_lastIdFilterData = userData;
}

bool IDataNeededHander::SetLastID(int id)
{
    if (m_lastIdFilter != nullptr && m_lastIdFilter(id, m_lastIdFilterData) == 0)
        return false;
    m_lastUsedId = id;

    std::vector<int> ids;
    ids.push_back(id);
    for (const int old : m_lastUsedIds) {
        if (old != id)
            ids.push_back(old);
    }
    const size_t count = static_cast<size_t>(GetSettings().GetAddLastUsedMenuToBeginCount());
    if (ids.size() > count)
        ids.resize(count);
    m_lastUsedIds = std::move(ids);
    return true;
}

IDataNeededHander::LastUsedPaths IDataNeededHander::SaveLastUsedPaths() const
{
    LastUsedPaths saved;
    for (const int id : m_lastUsedIds)
        saved.paths.push_back(PathOfId(m_phraseStore, id));
    saved.lastUsed = PathOfId(m_phraseStore, m_lastUsedId);
    return saved;
}

void IDataNeededHander::RestoreLastUsedPaths(const LastUsedPaths& saved)
{
    std::vector<int> ids;
    for (const CString& path : saved.paths) {
        const int id = FindIdByPath(m_phraseStore, path);
        if (id == -1) {
            WriteLogLine(L"IDataNeededHander: a last used phrase is gone after the reload: [" + path + L"]");
            continue;
        }
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    m_lastUsedIds = std::move(ids);
    m_lastUsedId = FindIdByPath(m_phraseStore, saved.lastUsed);
}

CString IDataNeededHander::GetHistorySubMenuCaption(int itemCount) const
{
    return BuildHistorySubMenuCaption(itemCount);
}

CString GetTargetSelectedText(const CString& selectedText, int selectedTextState)
{
    return (selectedTextState == 1 || selectedTextState == 2) ? selectedText : CString();
}

bool IsAddLastUsedMenuToBegin()
{
    return GetSettings().AddLastUsedMenuToBegin != 0;
}
