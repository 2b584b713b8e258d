#pragma once
// Something the message loop calls once each time its queue has run empty.

#include <windows.h>

class CIdleHandler
{
public:
    // The result is for the handler's own use; the loop calls every handler once per idle period regardless.
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};
