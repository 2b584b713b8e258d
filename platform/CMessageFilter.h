#pragma once
// Something that may take a message out of the message loop before it is translated and dispatched.

#include <windows.h>

class CMessageFilter
{
public:
    // TRUE: the message has been handled and the loop neither translates nor dispatches it.
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

protected:
    ~CMessageFilter() = default;
};
