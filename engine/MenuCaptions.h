#pragma once
// The texts the menus show for a phrase: its caption (a preview with the macros expanded, at most 40
// characters on one line, line breaks shown as "¶"), its tooltip preview, and the kind texts.

#include <windows.h>

#include "platform/CString.h"

class PhraseItemRecord;
class IDataNeededHander;
class CMacroContext;

// The longest caption of a phrase in the menu.
inline constexpr int kPhraseCaptionMaxChars = 40;

// "Insert plain text" (0), "Insert formatted text" (1) or "Execute application" (2) in the current
// language; "" for another data type.
CString GetPhraseKindText(int dataType);
// "Data from clipboard history" in the current language.
CString GetHistoryDataText();
// The caption of the history sub-menu for a history of `itemCount` items: "Clipboard History" (in
// the current language) + " [shown\count]", shown being at most "MaxHistoryItemsInMenu", or
// + " [count]" when that setting is 0. Logged as "History Sub Menu Text: " + the caption.
CString BuildHistorySubMenuCaption(int itemCount);

// The record's title, or when it has none the file name of its path, shortened in the middle to 40
// characters.
CString BuildPhraseTitleCaption(const PhraseItemRecord& record);

// The caption of a phrase in the menu: for a plain-text phrase whose macros gave something the
// expanded body, for an RTF phrase the plain text of its expanded body, otherwise the title with
// the selected and clipboard texts it uses in brackets. `menu` gives the target's language id,
// `context` the selected and clipboard texts. `caretPosition` gets where "%CURSOR_POS%" lands in
// the expanded body (-1: nowhere).
CString BuildPhraseMenuCaption(const PhraseItemRecord& record, const IDataNeededHander& menu,
                               const CMacroContext& context, int& caretPosition);

// The tooltip preview: kind + " » " + caption; for a phrase with a body its expanded text with its
// character count; and a line naming the keyboard layout the phrase switches to. `expandedBody`
// (may be null) gets the expanded text.
CString BuildPhraseTooltipText(const PhraseItemRecord& record, const CString& caption, LCID lcid,
                               const CString& selected, const CString& clipboard, CString* expandedBody);
