#include "engine/DataNeededHander.h"

#include "common/Settings.h"
#include "engine/MenuCaptions.h"

IDataNeededHander::IDataNeededHander(CPhraseStore* phraseStore, CSCVWndClipboardHandler* clipboardHandler)
    : m_phraseStore(phraseStore), m_clipboardHandler(clipboardHandler)
{
}

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
    for (const int old : m_lastUsedIds)
    {
        if (old != id)
            ids.push_back(old);
    }
    const size_t count = static_cast<size_t>(GetSettings().GetAddLastUsedMenuToBeginCount());
    if (ids.size() > count)
        ids.resize(count);
    m_lastUsedIds = std::move(ids);
    return true;
}

CString IDataNeededHander::GetHistorySubMenuCaption(int itemCount) const
{
    return BuildHistorySubMenuCaption(itemCount);
}

CString GetTargetSelectedText(const CString& selectedText, int selectedTextState)
{
    return (selectedTextState == 1 || selectedTextState == 2) ? selectedText : CString();
}

bool IsAddLastUsedMenuToBegin() { return GetSettings().AddLastUsedMenuToBegin != 0; }
