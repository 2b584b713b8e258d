#include "common/NamedEvent.h"

#include "common/SecurityInfo.h"

namespace
{
HANDLE CreateEventWithSecurity(LPCWSTR name, bool manualReset, bool initialState,
                               SECURITY_ATTRIBUTES* attributes, bool* alreadyExisted)
{
    HANDLE event = ::CreateEventW(attributes, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, name);
    const DWORD error = ::GetLastError();
    if (alreadyExisted)
        *alreadyExisted = event && error == ERROR_ALREADY_EXISTS;
    return event;
}
} // namespace

HANDLE CreateOpenNamedEvent(LPCWSTR name, bool manualReset, bool initialState, bool* alreadyExisted)
{
    SECURITY_ATTRIBUTES attributes{};
    if (CreateOpenSecurityAttributes(&attributes)) {
        if (HANDLE event =
                CreateEventWithSecurity(name, manualReset, initialState, &attributes, alreadyExisted))
            return event;
    }
    return CreateEventWithSecurity(name, manualReset, initialState, nullptr, alreadyExisted);
}
