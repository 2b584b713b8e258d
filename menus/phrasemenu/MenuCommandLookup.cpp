#include "menus/phrasemenu/MenuCommandLookup.h"

#include "engine/PhraseStore.h"
#include "menus/tips/HistoryMenuTexts.h"
#include "menus/tips/MenuHistorySource.h"

namespace
{
bool IsSpecialCommand(int commandId)
{
    return commandId == kCommandEditSettings || commandId == kCommandShowFloatPane ||
           commandId == kCommandAddSelection || commandId == kCommandSupport;
}

bool LookupPhrase(int commandId, CPhraseStore* store, MenuCommandTarget& target)
{
    if (!store || commandId <= 0)
        return false;
    PhraseItemRecord* record = store->FindItemById(commandId);
    if (!record || record->IsFolder())
        return false;
    target.kind = MenuCommandKind::Phrase;
    target.phrase = record;
    target.text = record->body;
    target.dataType = record->dataType;
    return true;
}

bool LookupHistory(int commandId, IMenuHistory* history, MenuCommandTarget& target)
{
    const int index = HistoryIndexOfCommand(commandId, history);
    if (index < 0)
        return false;
    const IMenuHistoryItem* item = history->GetHistoryItem(index);
    if (!GetHistoryItemCommand(*item, target.text, target.dataType))
        return false;
    target.kind = MenuCommandKind::History;
    target.historyIndex = index;
    return true;
}
} // namespace

int HistoryIndexOfCommand(int commandId, IMenuHistory* history)
{
    if (!history || commandId < kHistoryMenuFirstId)
        return -1;
    const int index = commandId - kHistoryMenuFirstId;
    if (index >= kHistoryMenuMaxItems || index >= history->GetHistoryCount() ||
        !history->GetHistoryItem(index))
        return -1;
    return index;
}

MenuCommandTarget LookupMenuCommand(int commandId, CPhraseStore* store, IMenuHistory* history)
{
    MenuCommandTarget target;
    if (commandId == kCommandCleanUp) {
        target.kind = MenuCommandKind::CleanUp;
        return target;
    }
    if (IsSpecialCommand(commandId)) {
        target.kind = MenuCommandKind::Special;
        return target;
    }
    if (LookupPhrase(commandId, store, target) || LookupHistory(commandId, history, target))
        return target;
    return MenuCommandTarget();
}

int LookupCommand(int commandId, CPhraseStore* store, IMenuHistory* history, CString& text, int& dataType)
{
    const MenuCommandTarget target = LookupMenuCommand(commandId, store, history);
    if (target.kind != MenuCommandKind::Phrase && target.kind != MenuCommandKind::History)
        return 0;
    text = target.text;
    dataType = target.dataType;
    return target.kind == MenuCommandKind::Phrase ? 2 : 1;
}
