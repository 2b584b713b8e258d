#pragma once

// The item data of every owner-drawn item of the phrase pop-up menu: what the
// item shows (caption, number, badge, icon kind, colours, marks) and its
// tooltip text. One record per item, made with new, attached as the item's
// dwItemData (MIIM_DATA) and freed with FreeMenuItemDrawInfos after the menu
// closed.

#include <windows.h>

#include <memory>

#include "platform/CString.h"

// Bits of MenuItemDrawInfo::flags.
enum : int
{
    kMenuItemFlagSubMenu = 0x10,
    kMenuItemFlagSeparator = 0x800,
};

// Data types of an item (for history items: RTF or plain text).
enum : int
{
    kMenuItemDataText = 0,
    kMenuItemDataRtf = 1,
    kMenuItemDataExec = 2,
};

class MenuItemDrawInfo
{
public:
    static constexpr int kFieldChars = 256; // the three character arrays
    static constexpr int kMaxToolTipChars = 4000;

    MenuItemDrawInfo();
    MenuItemDrawInfo(LPCWSTR text, int dataType, int commandId);
    MenuItemDrawInfo(const MenuItemDrawInfo&) = delete;
    MenuItemDrawInfo& operator=(const MenuItemDrawInfo&) = delete;

    // Keeps at most the first 4000 characters.
    void SetToolTipText(const CString& text);
    const CString& GetToolTipText() const { return toolTipText; }

    // Copy at most 255 characters. A null or empty source leaves the field as
    // it is; a source that lies inside the field's own characters is refused.
    // False when refused or null.
    bool SetText(LPCWSTR source);
    bool SetRightText(LPCWSTR source);
    bool SetCommandText(LPCWSTR source);

    bool IsSubMenu() const { return (flags & kMenuItemFlagSubMenu) != 0; }
    bool IsSeparator() const { return (flags & kMenuItemFlagSeparator) != 0; }

    CString toolTipText;
    wchar_t text[kFieldChars];        // the caption
    CString preview;                  // the full text of a history item, or a phrase preview
    wchar_t rightText[kFieldChars];   // layout badge, or the caption of a separator
    wchar_t commandText[kFieldChars]; // the phrase body (its start)
    int historyStyle = 0;             // 1: clipboard-history item or history sub-menu
    int bitmapFlag = 0;               // 1: history item of type bitmap
    int documentFlag = 0;             // 1: history item of the document type
    int dataType = kMenuItemDataText;
    int row = 0;         // position, for the alternating background
    int flags = 0;       // kMenuItemFlag...
    int defaultMark = 0; // drawn in red and framed
    int commandId = 0;
    int caretOffset = -1; // where %CURSOR_POS% stands in the caption; -1 none
    int number = -1;      // index of a last-used item (drawn + 1); -1 none
};

// Attaches the record to an item (by command id, or by position when
// `byPosition`). The menu owns it on success; on failure it is freed here.
// AppendMenuW with MF_OWNERDRAW stores its lpNewItem argument as the item's
// data: append owner-drawn items with null there, so that an item whose
// record could not be attached has no data rather than a text pointer.
bool AttachMenuItemDrawInfo(HMENU menu, UINT item, bool byPosition, std::unique_ptr<MenuItemDrawInfo> info);

// The record of an item by command id / by position; null when none.
MenuItemDrawInfo* GetMenuItemDrawInfo(HMENU menu, UINT commandId);
MenuItemDrawInfo* GetMenuItemDrawInfoByPosition(HMENU menu, int position);

// Frees the records of every item of the menu and of its sub-menus (sub-menus
// first), clearing each item's data. The menus themselves stay.
void FreeMenuItemDrawInfos(HMENU menu);

// Appends `subMenu` to `menu` as an owner-drawn pop-up item with a record:
// caption, sub-menu flag, history style, default mark and row = its position.
// False when the item cannot be appended.
bool AppendSubMenuItem(HMENU subMenu, HMENU menu, const CString& caption, bool historyStyle,
                       bool defaultMark);

// The record's preview on one line: trimmed of "\r\n\t " at both ends, each
// "\n\n", "\r\n", "\r" and "\n" made one blank; when longer than 70
// characters, the first 70 and "…".
CString GetSingleLinePreview(const MenuItemDrawInfo& info);
