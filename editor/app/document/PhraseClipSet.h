#pragma once
// The items marked by the phrases pane's Cut or Copy, one set per process. The marks are kept as file
// paths, not as store ids: every load of the library gives the ids anew, so an id kept over a reload
// could name another item. A mark whose path no longer names an item is simply gone.

#include "platform/CString.h"

#include <vector>

class CEditorPhraseStore;

class PhraseClipSet
{
public:
    static PhraseClipSet& Get();

    void Clear();
    // Replaces the marks by the one item (nothing is marked for an unknown id or an item without path).
    void Mark(CEditorPhraseStore& store, int id, bool cut);
    bool IsCut() const { return m_cut; }
    bool IsEmpty() const { return m_paths.empty(); }
    // The ids the marked paths have in the store now (unknown paths skipped).
    std::vector<int> GetIds(CEditorPhraseStore& store) const;
    // The first marked item's id now, -1 when none.
    int GetFirstId(CEditorPhraseStore& store) const;

private:
    std::vector<CString> m_paths;
    bool m_cut = false;
};

// The text that tells where a move or copy would go: "[name]\n  move to\n    [target]" ("copy to" for a
// copy, "root" for target -1); empty when the dragged item is unknown.
CString DescribeTransfer(CEditorPhraseStore& store, int draggedId, bool move, int targetId);
