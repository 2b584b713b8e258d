#include "editor/app/settings/ExtMenuCommandsChoice.h"

#include "common/LocalizedString.h"
#include "common/TimedMessageBox.h"
#include "editor/app/text/EditorCommandRunner.h"

namespace
{

struct ExtCommandRow
{
    UINT stringId;
    const wchar_t* english;
};

constexpr ExtCommandRow kExtCommandRows[CSettings::ExtMenuCommandCount] = {
    {242, L"Edit menu/settings"},
    {240, L"Save selected text as new phrase"},
    {241, L"Technical Support"},
    {259, L"Show Float Pane"},
};

constexpr UINT kExtCommandsIconId = 161;

CString ExtCommandsCounter(const CSettings& settings)
{
    CString counter;
    counter.Format(L"[%d/%d]", static_cast<int>(GetEnabledExtMenuCommands(settings).size()),
                   static_cast<int>(CSettings::ExtMenuCommandCount));
    return counter;
}

HICON LoadExtCommandsIcon(void*)
{
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kExtCommandsIconId));
}

} // namespace

CString GetExtMenuCommandRow(int index)
{
    if (index < 0 || index >= CSettings::ExtMenuCommandCount)
        return CString();
    return LoadLocalizedTextOr(kExtCommandRows[index].stringId, kExtCommandRows[index].english);
}

std::set<int> GetEnabledExtMenuCommands(const CSettings& settings)
{
    std::set<int> enabled;
    for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
        if (settings.GetExtMenuCommand(i) != 0)
            enabled.insert(i);
    return enabled;
}

CString ExtMenuCommandsBaseText(const CString& buttonText)
{
    const int bracket = buttonText.Find(L'[');
    CString base = bracket >= 0 ? buttonText.Left(bracket) : buttonText;
    base.TrimRight();
    return base;
}

CString ExtMenuCommandsButtonText(const CString& buttonText, const CSettings& settings)
{
    return ExtMenuCommandsBaseText(buttonText) + L" " + ExtCommandsCounter(settings);
}

CString ExtMenuCommandsTip(const CSettings& settings)
{
    const std::set<int> enabled = GetEnabledExtMenuCommands(settings);
    CString tip = LoadLocalizedTextOr(244, L"Setting service commands displayed at the bottom of the phrase "
                                           L"insertion menu") +
                  L" " + ExtCommandsCounter(settings);
    auto addGroup = [&](UINT titleId, const wchar_t* title, bool wantEnabled) {
        tip += L"\n\n" + LoadLocalizedTextOr(titleId, title) + L":";
        for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
            if ((enabled.count(i) != 0) == wantEnabled)
                tip += L"\n     \x2022 " + GetExtMenuCommandRow(i);
    };
    addGroup(257, L"Enabled", true);
    addGroup(258, L"Disabled", false);
    return tip;
}

bool ChooseExtMenuCommands(HWND owner, const CString& buttonText, CSettings& settings)
{
    CString rows;
    for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
        rows += (i ? L"\n" : L"") + GetExtMenuCommandRow(i);
    std::set<int> checked = GetEnabledExtMenuCommands(settings);
    const CString caption = CString(kEditorBoxCaption) + L" : " + ExtMenuCommandsBaseText(buttonText);
    const CString text =
        LoadLocalizedTextOr(243, L"Mark commands displayed at the bottom of the phrase insertion menu");
    const int answer = RunExtendedMessageBox(owner, MB_OKCANCEL | MB_ICONQUESTION, text, caption, rows,
                                             &checked, nullptr, -1, -1, LoadExtCommandsIcon, nullptr);
    if (answer == IDCANCEL || answer == 0)
        return false;
    for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
        settings.ExtMenuCommand[i] = checked.count(i) ? 1 : 0;
    return true;
}
