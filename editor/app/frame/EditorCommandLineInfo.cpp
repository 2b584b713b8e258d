#include "editor/app/frame/EditorCommandLineInfo.h"

void EditorCommandLineInfo::ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL bLast)
{
    CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    if (!bFlag || !pszParam)
        return;
    const struct
    {
        LPCWSTR name;
        int* flag;
    } switches[] = {{L"addfromcb", &m_addFromCb},
                    {L"firstrun", &m_firstRun},
                    {L"addseltext", &m_addSelText},
                    {L"hidesettings", &m_hideSettings}};
    for (const auto& s : switches) {
        if (::lstrcmpiW(pszParam, s.name) == 0)
            *s.flag = 1;
    }
}
