#include "app/entry/CommandLineArgs.h"

#include "app/AppTexts.h"
#include "app/VersionTexts.h"
#include "common/LocalizedString.h"
#include "common/TextDecoration.h"
#include "common/WindowHelpers.h"

#include <algorithm>
#include <atomic>

namespace
{
constexpr UINT kStringCommandLineKeys = 269;
constexpr UINT kStringCopyHint = 170;
constexpr int kDashLineLength = 25;

std::atomic<int> g_openHelpBoxes{0};

CString SwitchText(const CString& name)
{
    return L"/" + name;
}

// Parse order of the switches.
constexpr int kParseOrder[] = {SwitchNoInstall, SwitchExit,    SwitchUa,       SwitchAutoload, SwitchHelp,
                               SwitchEdit,      SwitchAsAdmin, SwitchShowMenu, SwitchCfu};
} // namespace

const std::map<int, CommandLineSwitchInfo>& GetCommandLineArgsMap()
{
    static const std::map<int, CommandLineSwitchInfo> table = {
        {SwitchExit, {L"exit", L"complete all previous running instances of Scrivolanter"}},
        {SwitchAutoload, {L"autoload", L"detect when Scrivolanter start automatically with Windows"}},
        {SwitchUa, {L"ua", L"no set \"Start with Windows\" on first running"}},
        {SwitchNoInstall, {L"noinstall", L"no install services on start of Scrivolanter"}},
        {SwitchHelp, {L"?", L"print arguments of command line description and exit"}},
        {SwitchEdit, {L"edit", L"Start the RedodeZovuva or change settings"}},
        {SwitchAsAdmin, {L"asadmin", L"Start second instance of Scrivolanter as administator"}},
        {SwitchShowMenu, {L"showmenu", L"Show menu on Scrivolanter tray icon"}},
        {SwitchCfu, {L"cfu", L"check for updates"}},
    };
    return table;
}

CString GetSwitchName(int commandSwitch)
{
    const auto& table = GetCommandLineArgsMap();
    const auto found = table.find(commandSwitch);
    return found == table.end() ? CString() : found->second.name;
}

CString GetSwitchHelpText(int commandSwitch, LPCWSTR name)
{
    const auto& table = GetCommandLineArgsMap();
    const auto found = table.find(commandSwitch);
    if (found == table.end())
        return CString();
    const CString& english = found->second.englishHelp;
    const CString localized = GetCommandLineKeyText(name, english);
    return localized.IsEmpty() ? english : localized;
}

CString GetAsAdminSwitchText()
{
    const CString name = GetSwitchName(SwitchAsAdmin);
    return name.IsEmpty() ? CString() : SwitchText(name);
}

int BuildCommandLineKeyDescriptions(std::map<CString, CString>& descriptions)
{
    for (const auto& [number, info] : GetCommandLineArgsMap())
        descriptions[SwitchText(info.name)] = GetSwitchHelpText(number, info.name);
    return static_cast<int>(descriptions.size());
}

CString GetCommandLineKeysList()
{
    std::map<CString, CString> descriptions;
    BuildCommandLineKeyDescriptions(descriptions);
    CString list;
    for (const auto& entry : descriptions) {
        if (!list.IsEmpty())
            list += L", ";
        list += entry.first;
    }
    return list;
}

CString BuildCommandLineHelpText()
{
    CString text =
        GetFullVersionText() + L" : " + LoadLocalizedTextOr(kStringCommandLineKeys, L"Command Line Keys");
    AppendDashLine(text, kDashLineLength, true);

    const auto& table = GetCommandLineArgsMap();
    if (table.empty()) {
        text += L"ERROR: GetCommandLineArgsMap() is emtpy";
        return text;
    }
    int widest = 0;
    for (const auto& entry : table)
        widest = (std::max)(widest, SwitchText(entry.second.name).GetLength());
    for (const auto& [number, info] : table) {
        const CString key = SwitchText(info.name);
        text += key;
        text += MakeSpaces(widest - key.GetLength());
        text += L" \x2014 ";
        text += L" ";
        text += GetSwitchHelpText(number, info.name);
        text += L"\n";
    }
    AppendDashLine(text, kDashLineLength, true);
    text +=
        MakeSpaces(8) + L"* " + LoadLocalizedTextOr(kStringCopyHint, L"Press Ctrl+C to copy into clipboard");
    return text;
}

bool ShowCommandLineHelp(HWND owner)
{
    if (g_openHelpBoxes.load() > 0) {
        BringWindowToFront(owner);
        ::SetActiveWindow(owner);
        return false;
    }
    const CString caption =
        GetFullVersionText() + L" : " + LoadLocalizedTextOr(kStringCommandLineKeys, L"Command Line Keys");
    const CString text = BuildCommandLineHelpText();
    ++g_openHelpBoxes;
    ::MessageBoxW(owner, text, caption, MB_ICONINFORMATION);
    --g_openHelpBoxes;
    return true;
}

bool CCommandLineArgs::IsPresent(int commandSwitch) const
{
    const CString name = GetSwitchName(commandSwitch);
    return !name.IsEmpty() && HasSwitch(name);
}

void CCommandLineArgs::Parse()
{
    for (int commandSwitch : kParseOrder) {
        if (!IsPresent(commandSwitch))
            continue;
        switch (commandSwitch) {
        case SwitchNoInstall:
            m_noInstall = 1;
            break;
        case SwitchExit:
            m_exit = 1;
            break;
        case SwitchUa:
            m_ua = 1;
            m_exit = 1;
            break;
        case SwitchAutoload:
            m_autoload = 1;
            break;
        case SwitchHelp:
            m_help = 1;
            break;
        case SwitchEdit:
            m_edit = 1;
            break;
        case SwitchAsAdmin:
            m_asAdmin = 1;
            break;
        case SwitchShowMenu:
            m_showMenu = 1;
            break;
        case SwitchCfu:
            m_cfu = 1;
            break;
        default:
            break;
        }
    }
}
