#include "platform/DeferredDeletion.h"

#include <algorithm>
#include <utility>

namespace
{
struct PendingDeletion
{
    void* object;
    void (*deleter)(void*);
};

thread_local int t_depth = 0;
thread_local std::vector<PendingDeletion>* t_pending = nullptr;

// Deletes what was handed over, also what those deletions hand over in turn; the depth stays above 0 meanwhile,
// so that the messages a destructor sends (windows it destroys) add to this list rather than start another.
void DeleteAll()
{
    while (t_pending && !t_pending->empty()) {
        std::vector<PendingDeletion> batch;
        batch.swap(*t_pending);
        for (const PendingDeletion& pending : batch)
            pending.deleter(pending.object);
    }
    delete t_pending;
    t_pending = nullptr;
}
} // namespace

DeferredDeletion::DispatchScope::DispatchScope()
{
    ++t_depth;
}

DeferredDeletion::DispatchScope::~DispatchScope()
{
    if (t_depth > 1 || !t_pending) {
        --t_depth;
        return;
    }
    DeleteAll();
    --t_depth;
}

bool DeferredDeletion::InDispatch()
{
    return t_depth > 0;
}

void DeferredDeletion::Schedule(void* object, Deleter deleter)
{
    if (t_depth == 0) {
        deleter(object);
        return;
    }
    if (!t_pending)
        t_pending = new std::vector<PendingDeletion>;
    const bool known =
        std::any_of(t_pending->begin(), t_pending->end(),
                    [object](const PendingDeletion& pending) { return pending.object == object; });
    if (!known)
        t_pending->push_back(PendingDeletion{object, deleter});
}
