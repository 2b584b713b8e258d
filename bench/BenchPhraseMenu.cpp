// Times the phrase pop-up menu for a library of 10,000 phrases in 500 folders against a library of
// 10 phrases, in the same run: building the menu (MakeMenu, every caption and tooltip made, then
// freed), and showing it (from the request until the menu window is on the screen, then closed).
// Usage: bench_menu [rounds]

#include "engine/PhraseStore.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"

#include <windows.h>

#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
using bench::DeleteTree;
using bench::Milliseconds;
using bench::Now;

constexpr int kTopFolders = 25;
constexpr int kSubFoldersEach = 19;   // 25 + 25 x 19 = 500 folders
constexpr int kPhrasesPerFolder = 20; // 500 x 20 = 10,000 phrases
constexpr int kSmallLibrary = 10;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// A phrase as users write them: a few lines, every tenth one rich text, some with macros.
PhraseItemRecord MakePhrase(int id)
{
    PhraseItemRecord record;
    record.id = id;
    wchar_t title[64];
    swprintf(title, 64, L"Phrase number %d", id);
    record.SetTitle(title);
    CString body;
    const int lines = 2 + id % 12;
    for (int line = 0; line < lines; ++line)
        body.AppendFormat(L"Line %d of phrase %d: thanks for your letter, best regards.\r\n", line, id);
    if (id % 4 == 0)
        body += L"Dear %SELECTED_TEXT%, see you on %DATE%.";
    if (id % 10 == 0) {
        record.dataType = MenuItemRecord::kTypeRtf;
        body =
            CString(L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\b Bold\\b0  ") + body + L"}";
    }
    record.body = body;
    return record;
}

PhraseItemRecord MakeFolder(int id, const wchar_t* title)
{
    PhraseItemRecord folder;
    folder.id = id;
    folder.SetTitle(title);
    folder.MakeFolder();
    return folder;
}

void FillFolder(PhraseItemRecord& folder, int& nextId)
{
    for (int i = 0; i < kPhrasesPerFolder; ++i)
        folder.children->push_back(MakePhrase(nextId++));
}

std::vector<PhraseItemRecord> MakeLargeLibrary()
{
    std::vector<PhraseItemRecord> items;
    int nextId = 1;
    for (int top = 0; top < kTopFolders; ++top) {
        wchar_t name[32];
        swprintf(name, 32, L"Group %d", top);
        PhraseItemRecord group = MakeFolder(nextId++, name);
        for (int sub = 0; sub < kSubFoldersEach; ++sub) {
            swprintf(name, 32, L"Sub %d", sub);
            PhraseItemRecord folder = MakeFolder(nextId++, name);
            FillFolder(folder, nextId);
            group.children->push_back(std::move(folder));
        }
        FillFolder(group, nextId);
        items.push_back(std::move(group));
    }
    return items;
}

std::vector<PhraseItemRecord> MakeSmallLibrary()
{
    std::vector<PhraseItemRecord> items;
    for (int id = 1; id <= kSmallLibrary; ++id)
        items.push_back(MakePhrase(id));
    return items;
}

int CountPhrases(const std::vector<PhraseItemRecord>& items)
{
    int count = 0;
    for (const PhraseItemRecord& item : items)
        count += item.IsFolder() ? CountPhrases(*item.children) : 1;
    return count;
}

// The time to build (and free) the menu of the store's library.
double TimeBuild(IDataNeededHander_MenuSelf& builder, CPhraseStore& store)
{
    const PhraseMenuQuery query;
    const LARGE_INTEGER start = Now();
    HMENU menu = builder.MakeMenu(query, store.GetItems());
    const LARGE_INTEGER built = Now();
    if (menu) {
        IDataNeededHander_MenuSelf::CleanupMenu(menu);
        DestroyMenu(menu);
    }
    return Milliseconds(start, built);
}

// Showing: the first WM_ENTERIDLE the menu sends its owner (the menu is on the screen and waits
// for the user) ends the wait and closes the menu at once.
LARGE_INTEGER g_shownAt;
bool g_shown = false;

LRESULT CALLBACK WatchMenuOwner(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_ENTERIDLE && message->wParam == MSGF_MENU && !g_shown) {
        g_shown = true;
        g_shownAt = Now();
        EndMenu();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A safety net: a menu that never reports itself is closed after a while.
void CALLBACK CloseForgottenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

// The time from the request until the menu is on the screen; negative when it never showed.
double TimeShow(IDataNeededHander_MenuSelf& builder)
{
    g_shown = false;
    PhraseMenuQuery query;
    query.pointX = 200;
    query.pointY = 150;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60000, &CloseForgottenMenu);
    const LARGE_INTEGER start = Now();
    builder.ShowMenu(query);
    KillTimer(nullptr, timer);
    return g_shown ? Milliseconds(start, g_shownAt) : -1.0;
}

struct Figures
{
    double build = 0;
    double show = 0;
};

Figures Measure(IDataNeededHander_MenuSelf& builder, CPhraseStore& store, int rounds)
{
    std::vector<double> builds;
    std::vector<double> shows;
    for (int round = 0; round < rounds; ++round) {
        builds.push_back(TimeBuild(builder, store));
        shows.push_back(TimeShow(builder));
    }
    return {Median(builds), Median(shows)};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    HWND mainWindow =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchMenuOwner, nullptr, GetCurrentThreadId());

    CPhraseStore smallStore;
    smallStore.GetItems() = MakeSmallLibrary();
    CPhraseStore largeStore;
    largeStore.GetItems() = MakeLargeLibrary();
    IDataNeededHander_MenuSelf smallMenu(mainWindow, WM_APP + 12, &smallStore, nullptr, nullptr);
    IDataNeededHander_MenuSelf largeMenu(mainWindow, WM_APP + 12, &largeStore, nullptr, nullptr);

    TimeBuild(smallMenu, smallStore); // warm-up: fonts, rich-edit converter, resources
    const Figures small = Measure(smallMenu, smallStore, rounds);
    const Figures large = Measure(largeMenu, largeStore, rounds);

    printf("Phrase menu, median of %d rounds\n", rounds);
    printf("  library of %d phrases at the top level:\n", CountPhrases(smallStore.GetItems()));
    printf("    build the menu:               %10.2f ms\n", small.build);
    printf("    request to menu shown:        %10.2f ms\n", small.show);
    printf("  library of %d phrases in %d folders:\n", CountPhrases(largeStore.GetItems()),
           kTopFolders * (1 + kSubFoldersEach));
    printf("    build the menu:               %10.2f ms\n", large.build);
    printf("    request to menu shown:        %10.2f ms\n", large.show);
    if (small.build > 0)
        printf("  build, large / small:           %10.1f x\n", large.build / small.build);
    if (small.show > 0)
        printf("  shown, large / small:           %10.1f x\n", large.show / small.show);

    if (hook)
        UnhookWindowsHookEx(hook);
    DestroyWindow(mainWindow);
    return (small.show < 0 || large.show < 0) ? 1 : 0;
}
