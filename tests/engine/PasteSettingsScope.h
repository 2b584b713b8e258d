#pragma once
// Puts the settings that choose between typing and pasting back as they were when the scope ends.

#include "common/Settings.h"

class PasteSettingsScope
{
public:
    PasteSettingsScope() : m_method(GetSettings().TextPasteMethod_v150), m_limit(GetSettings().PrintLTChars)
    {}
    ~PasteSettingsScope()
    {
        GetSettings().TextPasteMethod_v150 = m_method;
        GetSettings().PrintLTChars = m_limit;
    }
    PasteSettingsScope(const PasteSettingsScope&) = delete;
    PasteSettingsScope& operator=(const PasteSettingsScope&) = delete;

private:
    int m_method;
    int m_limit;
};
