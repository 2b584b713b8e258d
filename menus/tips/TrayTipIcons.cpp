#include "menus/tips/TrayTipIcons.h"

#include <cwchar>
#include <iterator>

#include "menus/floatpane/FloatPaneRes.h"
#include "menus/phrasemenu/PopupMenuRes.h"

namespace
{

TipIconSource Resource(UINT id, int size = 16)
{
    return {TipIconKind::Resource, id, size, nullptr};
}

TipIconSource BestSize(UINT id)
{
    return {TipIconKind::ResourceBestSize, id, 16, nullptr};
}

TipIconSource FileType(const wchar_t* extension, bool large = false)
{
    return {TipIconKind::FileType, 0, large ? 32 : 16, extension};
}

TipIconSource SystemFile(const wchar_t* name, bool large = false)
{
    return {TipIconKind::SystemFile, 0, large ? 32 : 16, name};
}

TipIconSource Of(TipIconKind kind, UINT id = 0)
{
    return {kind, id, 16, nullptr};
}

struct Row
{
    UINT command;
    TipIconChoice choice;
};

// The tray tip's icons, first match wins.
const Row kTrayRows[] = {
    {32831, {Of(TipIconKind::EditorResource, 160), {}}},
    {32855, {Of(TipIconKind::EditorResource, 163), {}}},
    {32866, {Of(TipIconKind::EditorResource, 164), {}}},
    {32774, {SystemFile(L"winver.exe"), {}}},
    {32865, {SystemFile(L"cmd.exe", true), SystemFile(L"cmd.exe")}},
    {32829, {Resource(249), SystemFile(L"winver.exe")}},
    {32772, {Of(TipIconKind::EditorProgram), {}}},
    {32815, {Of(TipIconKind::Notepad), {}}},
    {32828, {Of(TipIconKind::Notepad), {}}},
    {32830, {Of(TipIconKind::Notepad), {}}},
    {32817, {SystemFile(L"SndVol.exe"), {}}},
    {32867, {{TipIconKind::SystemFileResource, 120, 16, L"SndVolSSO.dll"}, {}}},
    {32818, {Of(TipIconKind::VideoFolder), {}}},
    {32832, {Of(TipIconKind::WelcomeProgram), FileType(L".eml")}},
    {32848, {Of(TipIconKind::OpenWithProgram), {}}},
    {32797, {FileType(L".txt", true), {}}},
    {32798, {Resource(IDI_PANE_MINIMIZE), {}}},
    {32821, {Resource(IDI_MENU_EXEC), {}}},
    {32846, {Resource(IDI_MENU_EXEC), {}}},
    {32847, {Resource(IDI_PANE_COPY), {}}},
    {1002, {Resource(IDI_PANE_COPY), {}}},
    {32793, {Resource(IDI_PANE_COPY), {}}},
    {32849, {Resource(IDI_MENU_FORMATTED, 32), Resource(IDI_MENU_FORMATTED)}},
    {32851, {Resource(IDI_PANE_HTML), {}}},
    {32856, {Resource(IDI_PANE_HISTORY), {}}},
    {32858, {Resource(IDI_PANE_MINIMIZE), {}}},
    {32859, {Of(TipIconKind::GreyResource, IDI_PANE_MINIMIZE), {}}},
    {32860, {Resource(IDI_PANE_HTML_CODE), {}}},
    {259, {FileType(L".zip"), {}}},
    {32783, {FileType(L".eml"), {}}},
    {32794, {Resource(IDI_PANE_PROTECTED), {}}},
    {32796, {Resource(IDI_PANE_CLOSE), {}}},
    {32791, {Resource(IDI_MENU_WEB_ADDRESS), {}}},
    {32840, {BestSize(IDI_MENU_SEARCH_FIRST), {}}},
    {32841, {BestSize(IDI_MENU_SEARCH_SECOND), {}}},
    {32842, {BestSize(IDI_MENU_SEARCH_ENCYCLOPEDIA), {}}},
    {32843, {BestSize(IDI_MENU_SEARCH_DEVELOPER), {}}},
    {32806, {BestSize(IDI_MENU_WEB_ADDRESS), {}}},
    {32820, {BestSize(IDI_PANE_PIN), {}}},
    {32862, {BestSize(IDI_PANE_PIN), {}}},
    {32789, {BestSize(IDI_PANE_CLOSE), {}}},
    {57665, {BestSize(IDI_PANE_CLOSE), {}}},
    {32786, {BestSize(IDI_PANE_HISTORY), {}}},
};

// The web commands: the web address icon once the tip loaded its icons.
const UINT kWebCommands[] = {32776, 32781, 32782, 32783, 32784, 32790, 32818,
                             32823, 32825, 32831, 32855, 32863, 32866};

// The phrase menu tip's icons.
const Row kTrackerRows[] = {
    {32772, {Of(TipIconKind::EditorProgram), {}}},
    {32826, {Of(TipIconKind::EditorProgram), {}}},
    {32784, {Resource(IDI_MENU_WEB_ADDRESS), {}}},
    {32846, {Of(TipIconKind::StockFolder), {}}},
    {32806, {Resource(IDI_MENU_WEB_ADDRESS), {}}},
    {32848, {Resource(IDI_MENU_WEB_ADDRESS), {}}},
    {32834, {Resource(IDI_MENU_SEARCH_FIRST), {}}},
    {32835, {Resource(IDI_MENU_SEARCH_SECOND), {}}},
    {32836, {Resource(IDI_MENU_SEARCH_DEVELOPER), {}}},
    {32837, {Resource(IDI_MENU_SEARCH_ENCYCLOPEDIA), {}}},
    {32797, {Resource(IDI_PANE_COPY), {}}},
    {32864, {Resource(IDI_PANE_COPY), {}}},
};

const TipIconChoice* Find(const Row* first, const Row* last, UINT id)
{
    for (const Row* row = first; row != last; ++row) {
        if (row->command == id)
            return &row->choice;
    }
    return nullptr;
}

bool SameName(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return a == b;
    return std::wcscmp(a, b) == 0;
}

} // namespace

bool TipIconSource::operator==(const TipIconSource& other) const
{
    return kind == other.kind && id == other.id && size == other.size && SameName(name, other.name);
}

TipIconChoice TrayTipIconFor(UINT id, bool iconsLoaded)
{
    // Re-Keep shows Keep's icon, Copy Exclude Symbols the copy icon.
    if (id == 32819)
        id = 32786;
    else if (id == 32864)
        id = 32793;
    if (const TipIconChoice* choice = Find(std::begin(kTrayRows), std::end(kTrayRows), id))
        return *choice;
    for (UINT web : kWebCommands) {
        if (web == id)
            return {iconsLoaded ? BestSize(IDI_MENU_WEB_ADDRESS) : FileType(L".html"), {}};
    }
    return {Of(TipIconKind::ProgramIcon), {}};
}

TipIconChoice TrackerTipIconFor(UINT id)
{
    if (const TipIconChoice* choice = Find(std::begin(kTrackerRows), std::end(kTrackerRows), id))
        return *choice;
    return {Of(TipIconKind::ProgramIcon), {}};
}

CTipIconCache::~CTipIconCache()
{
    for (auto& entry : m_icons) {
        if (entry.second)
            ::DestroyIcon(entry.second);
    }
}

HICON CTipIconCache::Get(const TipIconSource& source, const std::function<HICON(const TipIconSource&)>& load)
{
    for (const auto& entry : m_icons) {
        if (entry.first == source)
            return entry.second;
    }
    HICON icon = load ? load(source) : nullptr;
    m_icons.emplace_back(source, icon);
    return icon;
}
