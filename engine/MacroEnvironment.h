#pragma once
// What macro values take from the system at the moment of a request: the local clock, the
// installed keyboard layouts and the clipboard's text. The macro engine reads them only through
// GetMacroEnvironment(), so a fixed environment can stand in for the system (CMacroEnvironmentOverride).

#include "platform/CString.h"

#include <windows.h>

#include <vector>

class IMacroEnvironment
{
public:
    virtual ~IMacroEnvironment() = default;

    // The local date and time now.
    virtual SYSTEMTIME GetLocalTime() const = 0;
    // The installed keyboard layouts in the system's order; empty when they cannot be read.
    virtual std::vector<HKL> GetKeyboardLayouts() const = 0;
    // The Unicode text on the clipboard now; empty when there is none.
    virtual CString ReadClipboardText() const = 0;
};

// The system itself: GetLocalTime, GetKeyboardLayoutList (empty when a second call gives another
// count) and the clipboard reader of the clipboard layer.
class CSystemMacroEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override;
    std::vector<HKL> GetKeyboardLayouts() const override;
    CString ReadClipboardText() const override;
};

// The environment in use: the system's unless an override is active.
const IMacroEnvironment& GetMacroEnvironment();

// Puts an environment in place of the system's for the object's lifetime (overrides nest). Meant
// for tests; not for use while other threads expand macros.
class CMacroEnvironmentOverride
{
public:
    explicit CMacroEnvironmentOverride(const IMacroEnvironment& environment);
    ~CMacroEnvironmentOverride();
    CMacroEnvironmentOverride(const CMacroEnvironmentOverride&) = delete;
    CMacroEnvironmentOverride& operator=(const CMacroEnvironmentOverride&) = delete;

private:
    const IMacroEnvironment* m_previous;
};
