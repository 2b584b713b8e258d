#include "app/entry/StartupNotes.h"

#include "common/SlimLock.h"

namespace
{

struct NotesState
{
    CSlimLock lock;
    std::vector<CString> notes;
};

NotesState& State()
{
    static NotesState state;
    return state;
}

} // namespace

void AddStartupNote(LPCWSTR text)
{
    NotesState& state = State();
    CSlimLockGuard guard(state.lock);
    state.notes.emplace_back(text ? text : L"");
}

std::vector<CString> GetStartupNotes()
{
    NotesState& state = State();
    CSlimLockGuard guard(state.lock);
    return state.notes;
}

int GetStartupNoteCount()
{
    NotesState& state = State();
    CSlimLockGuard guard(state.lock);
    return static_cast<int>(state.notes.size());
}

void ClearStartupNotes()
{
    NotesState& state = State();
    CSlimLockGuard guard(state.lock);
    state.notes.clear();
}
