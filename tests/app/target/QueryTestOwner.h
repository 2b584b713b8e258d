#pragma once
// A hidden window that stands in for the tray window in the query-thread tests,
// and the interchange objects under names of the test's own.

#include "app/target/CSCV_Wait_Objs.h"
#include "app/target/CWaitQuery.h"
#include "common/KernelHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace scvtest
{

// "Local\ScvTest_<what>_<pid>_<n>": a name no other test or program uses.
CString UniqueObjectName(LPCWSTR what);

// The owner window of a query thread: keeps a copy of every query it is
// handed, answers with `result` after staying busy (pumping messages, as an
// open menu does) for `busyMs`, and puts `answerItems` into the answer.
class QueryOwnerWindow
{
public:
    QueryOwnerWindow();
    ~QueryOwnerWindow();
    QueryOwnerWindow(const QueryOwnerWindow&) = delete;
    QueryOwnerWindow& operator=(const QueryOwnerWindow&) = delete;

    HWND Handle() const { return window_; }

    LRESULT result = 1;
    DWORD busyMs = 0;
    std::vector<MenuItemRecord> answerItems;

    std::vector<SVQuery> received;
    // Whether the records behind the message still held the query after the busy time.
    std::vector<bool> stillValidAfterBusy;
    int errorMessages = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnQuery(WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Interchange objects (under unique names unless others are given) and a query
// thread owned by a QueryOwnerWindow on the calling thread.
class QueryThreadRig
{
public:
    QueryThreadRig();
    QueryThreadRig(LPCWSTR dataNeededName, LPCWSTR dataCompletedName, LPCWSTR mappingName);
    ~QueryThreadRig();

    bool Start();
    // Writes a document into the area and sets DataNeeded, as the DLL does.
    bool PostQuery(const std::string& document);
    // The area's text.
    std::string AreaText() const;
    bool IsSet(HANDLE event) const { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

    QueryOwnerWindow owner;
    CSCV_Wait_Objs objects;
    CKernelHandle stopEvent;
    CWaitQuery thread;
};

} // namespace scvtest
