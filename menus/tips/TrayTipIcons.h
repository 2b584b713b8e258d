#pragma once

// Which icon the title of a menu tip shows for a command: a resource of the
// program, a file type's icon, the icon of a system program or of one of our
// own programs, the program that opens the pane's current item, and so on.
// The tables only name the source; the program loads it (it knows where its
// neighbours live), and the tooltips keep what was loaded.

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

enum class TipIconKind
{
    None,
    ProgramIcon,        // the program's own icon
    Resource,           // program icon resource `id` at `size` pixels
    ResourceBestSize,   // program icon resource `id`, the size that fits best
    GreyResource,       // a grey copy of program icon resource `id` (16 pixels)
    FileType,           // the shell's icon of file type `name` (large when `size` is 32)
    SystemFile,         // the icon of file `name` in the system folder (large when `size` is 32)
    SystemFileResource, // icon resource `id` of file `name` in the system folder, loaded as data
    EditorResource,     // icon resource `id` of the editor program's file, loaded as data
    EditorProgram,      // the editor program's icon
    WelcomeProgram,     // the welcome program's icon
    Notepad,            // the Notepad program's icon
    VideoFolder,        // the user's video folder
    StockFolder,        // the system's closed folder icon
    OpenWithProgram,    // the program that opens the floating pane's current item (changes)
};

struct TipIconSource
{
    TipIconKind kind = TipIconKind::None;
    UINT id = 0;
    int size = 16;
    const wchar_t* name = nullptr;

    bool operator==(const TipIconSource& other) const;
    bool operator!=(const TipIconSource& other) const { return !(*this == other); }
};

// The source to try first and the one to take when the first gives no icon.
struct TipIconChoice
{
    TipIconSource first;
    TipIconSource second;
};

// The tray menu tip's icon of a command. Web commands show the web address
// icon once the tip has loaded its icons (`iconsLoaded`), the ".html" icon before.
TipIconChoice TrayTipIconFor(UINT id, bool iconsLoaded);

// The phrase menu tip's icon of a command.
TipIconChoice TrackerTipIconFor(UINT id);

// The icons a tip has loaded, one per source; destroyed with the cache.
class CTipIconCache
{
public:
    CTipIconCache() = default;
    ~CTipIconCache();
    CTipIconCache(const CTipIconCache&) = delete;
    CTipIconCache& operator=(const CTipIconCache&) = delete;

    // The source's icon, loaded by `load` the first time (a missing icon is
    // remembered as null too).
    HICON Get(const TipIconSource& source, const std::function<HICON(const TipIconSource&)>& load);

private:
    std::vector<std::pair<TipIconSource, HICON>> m_icons;
};
