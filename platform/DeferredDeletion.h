#pragma once
// Deleting objects that may still be handling a message.
//
// Every window and dialog procedure of window objects, and each pass of the message loop, runs inside a
// DispatchScope. An object handed to DeleteAfterDispatch while a scope is open on the thread is deleted when the
// outermost scope ends, so that no object goes away while a handler of its own, or of an object it owns, is
// still on the stack (a frame closed from a button of one of its panes, a pane closed while its pop-up menu is
// open). Outside any scope it is deleted at once. An object is deleted once however often it is handed over.

#include <vector>

class DeferredDeletion
{
public:
    class DispatchScope
    {
    public:
        DispatchScope();
        ~DispatchScope();
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;
    };

    template <typename T>
    static void DeleteAfterDispatch(T* object)
    {
        if (object)
            Schedule(object, [](void* p) { delete static_cast<T*>(p); });
    }

    // True while a message is being handled on this thread.
    static bool InDispatch();

private:
    using Deleter = void (*)(void*);
    static void Schedule(void* object, Deleter deleter);
};
