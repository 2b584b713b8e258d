#pragma once

// The command-line switches of the main program: the switch table with help
// texts, the parser that sets one flag per switch, and the help text and box.
//
// A switch is given as "/" + name or "-" + name, in any letter case, as a
// word of its own (see FindCommandLineSwitch in common/CommandLineInfoBase.h).

#include <windows.h>

#include <map>

#include "common/CommandLineInfoBase.h"
#include "platform/CString.h"

// The switches, in the order of the table and the help.
enum CommandLineSwitch : int
{
    SwitchExit = 0,
    SwitchAutoload = 1,
    SwitchUa = 2,
    SwitchNoInstall = 3,
    SwitchHelp = 4,
    SwitchEdit = 5,
    SwitchAsAdmin = 6,
    SwitchShowMenu = 7,
    SwitchCfu = 8,
};

// One row of the switch table.
struct CommandLineSwitchInfo
{
    CString name;        // "exit", "autoload", ...
    CString englishHelp; // the English help text
};

// The switch table, built on the first call, in the order of the help.
const std::map<int, CommandLineSwitchInfo>& GetCommandLineArgsMap();
// The switch's name; empty for a number the table lacks.
CString GetSwitchName(int commandSwitch);
// The help text: the active language's text for the switch name when it has
// one, else the English text. Empty for an unknown switch.
CString GetSwitchHelpText(int commandSwitch, LPCWSTR name);
// "/" + the name of "asadmin"; empty when the table lacks it.
CString GetAsAdminSwitchText();
// Fills `descriptions` with "/" + name -> help text for every switch; the count.
int BuildCommandLineKeyDescriptions(std::map<CString, CString>& descriptions);
// The switch texts ("/" + name) joined by ", " in ascending text order.
CString GetCommandLineKeysList();
// The help: version + " : " + "Command Line Keys", a dash line, one aligned
// row per switch ("/name", padding, " — ", " ", help), a dash line and the
// copy hint.
CString BuildCommandLineHelpText();
// Shows the help in a message box owned by `owner` (the desktop window for a
// "/?" start). While a help box of this process is open a second call only
// brings the owner forward and returns false.
bool ShowCommandLineHelp(HWND owner);

// The parsed switch flags of one command line.
class CCommandLineArgs : public CCommandLineInfoBase
{
public:
    explicit CCommandLineArgs(const wchar_t* commandLine) : CCommandLineInfoBase(commandLine) {}

    // Sets the flag of every switch present; "ua" also sets "exit".
    void Parse() override;

    bool IsExit() const { return m_exit != 0; }
    bool IsUa() const { return m_ua != 0; }
    bool IsAutoload() const { return m_autoload != 0; }
    bool IsNoInstall() const { return m_noInstall != 0; }
    bool IsHelp() const { return m_help != 0; }
    bool IsEdit() const { return m_edit != 0; }
    bool IsAsAdmin() const { return m_asAdmin != 0; }
    bool IsShowMenu() const { return m_showMenu != 0; }
    bool IsCfu() const { return m_cfu != 0; }

private:
    bool IsPresent(int commandSwitch) const;

    int m_exit = 0;
    int m_ua = 0;
    int m_autoload = 0;
    int m_noInstall = 0;
    int m_help = 0;
    int m_edit = 0;
    int m_asAdmin = 0;
    int m_showMenu = 0;
    int m_cfu = 0;
};
