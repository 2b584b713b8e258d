#include "editor/app/document/PhraseClipSet.h"

#include "common/LocalizedString.h"
#include "editor/app/document/EditorPhraseStore.h"

PhraseClipSet& PhraseClipSet::Get()
{
    static PhraseClipSet set;
    return set;
}

void PhraseClipSet::Clear()
{
    m_paths.clear();
    m_cut = false;
}

void PhraseClipSet::Mark(CEditorPhraseStore& store, int id, bool cut)
{
    Clear();
    PhraseItemRecord* record = store.FindItemById(id);
    if (!record || record->GetPath().IsEmpty())
        return;
    m_paths.push_back(record->GetPath());
    m_cut = cut;
}

std::vector<int> PhraseClipSet::GetIds(CEditorPhraseStore& store) const
{
    std::vector<int> ids;
    for (const CString& path : m_paths)
        if (PhraseItemRecord* record = store.FindItemByPath(path))
            ids.push_back(record->id);
    return ids;
}

int PhraseClipSet::GetFirstId(CEditorPhraseStore& store) const
{
    const std::vector<int> ids = GetIds(store);
    return ids.empty() ? -1 : ids.front();
}

CString DescribeTransfer(CEditorPhraseStore& store, int draggedId, bool move, int targetId)
{
    PhraseItemRecord* dragged = store.FindItemById(draggedId);
    if (!dragged)
        return CString();
    PhraseItemRecord* target = targetId == -1 ? nullptr : store.FindItemById(targetId);
    const CString targetName = target ? CString(target->GetTitle()) : LoadLocalizedTextOr(182, L"root");
    const CString verb = move ? LoadLocalizedTextOr(180, L"move to") : LoadLocalizedTextOr(181, L"copy to");
    return CString(L"[") + dragged->GetTitle() + L"]\n  " + verb + L"\n    [" + targetName + L"]";
}
