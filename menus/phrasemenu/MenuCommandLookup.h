#pragma once

// What a command id chosen in the phrase menu (or sent by the core hook DLL) names: the clean-up
// command, one of the special program commands, a clipboard-history item (2000 + its index) or a
// phrase of the library, and the text and data type that running it inserts.

#include "platform/CString.h"

class CPhraseStore;
class PhraseItemRecord;
class IMenuHistory;

// The special commands the tray window runs itself.
enum SpecialMenuCommand : int
{
    kCommandCleanUp = -1,       // the menu closed without a choice
    kCommandEditSettings = -2,  // start the editor
    kCommandShowFloatPane = -3, // show the floating pane
    kCommandAddSelection = -4,  // a new phrase from the target's selected text
    kCommandSupport = -6,       // the support page
};

enum class MenuCommandKind
{
    None,    // names nothing
    CleanUp, // -1
    Special, // -2, -3, -4, -6
    History, // a history item of a type that can be inserted
    Phrase,  // a phrase (never a folder)
};

struct MenuCommandTarget
{
    MenuCommandKind kind = MenuCommandKind::None;
    int historyIndex = -1;              // History: the item's index (0 = newest)
    PhraseItemRecord* phrase = nullptr; // Phrase: its record in the store
    CString text;                       // History and Phrase: what running it inserts
    int dataType = 0;                   // 0 plain text, 1 RTF, 2 command line
};

// The history index a command id names: id - 2000 when that lies in 0 .. count - 1 and the
// history has an item there; -1 otherwise (also without a history).
int HistoryIndexOfCommand(int commandId, IMenuHistory* history);

// Looks the command id up: -1 is the clean-up command, -2/-3/-4/-6 special commands; a phrase of
// the store with the id comes next; then the history item the id names. A history item whose type
// is not text or RTF, a folder, or any other id names nothing. Store and history may be null.
MenuCommandTarget LookupMenuCommand(int commandId, CPhraseStore* store, IMenuHistory* history);

// The same as the tray window asks it: 2 a phrase, 1 a history item (text and data type filled),
// 0 anything else.
int LookupCommand(int commandId, CPhraseStore* store, IMenuHistory* history, CString& text, int& dataType);
