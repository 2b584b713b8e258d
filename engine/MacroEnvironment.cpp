#include "engine/MacroEnvironment.h"

#include "engine/ClipboardAccess.h"

namespace
{
const IMacroEnvironment* g_overrideEnvironment = nullptr;

const IMacroEnvironment& SystemEnvironment()
{
    static const CSystemMacroEnvironment environment;
    return environment;
}
} // namespace

SYSTEMTIME CSystemMacroEnvironment::GetLocalTime() const
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::vector<HKL> CSystemMacroEnvironment::GetKeyboardLayouts() const
{
    const int count = ::GetKeyboardLayoutList(0, nullptr);
    if (count <= 0)
        return {};
    std::vector<HKL> layouts(static_cast<size_t>(count));
    // A layout added or removed between the two calls makes the list unreliable.
    if (::GetKeyboardLayoutList(count, layouts.data()) != count)
        return {};
    return layouts;
}

CString CSystemMacroEnvironment::ReadClipboardText() const
{
    wchar_t* copy = GetClipboardUnicodeTextCopy();
    if (copy == nullptr)
        return CString();
    CString text(copy);
    FreeClipboardTextCopy(copy);
    return text;
}

const IMacroEnvironment& GetMacroEnvironment()
{
    return g_overrideEnvironment != nullptr ? *g_overrideEnvironment : SystemEnvironment();
}

CMacroEnvironmentOverride::CMacroEnvironmentOverride(const IMacroEnvironment& environment)
    : m_previous(g_overrideEnvironment)
{
    g_overrideEnvironment = &environment;
}

CMacroEnvironmentOverride::~CMacroEnvironmentOverride()
{
    g_overrideEnvironment = m_previous;
}
