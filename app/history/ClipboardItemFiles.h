#pragma once

// Clipboard-history items written to files: saved from the floating pane, or
// opened in another program through a temporary file that is deleted when
// the program ends.

#include <windows.h>

#include <string>

#include "platform/CString.h"

class CCHItem;
class CCHQueue;

// The bytes of the item's file: ANSI text and RTF up to their NUL, Unicode
// text as FF FE and its characters, clips and HTML their stored bytes. False
// for a bitmap (written by the bitmap writer) and for other types.
bool GetClipboardItemFileBytes(const CCHItem& item, std::string& bytes);

// Writes the item to the file (created or replaced). True when every byte was
// written; a failed write leaves no file behind. An item of the saved history
// (one that has a descriptor) also gets its descriptor beside the file: the
// same name with the extension ".info" (DataType, Protected, WndName, ExeName,
// URL, File0 the file's name) and, for a clip with meta information, the
// meta-info file, so that the saved file keeps where it came from. A
// descriptor that cannot be written is logged; the file stays written.
bool SaveClipboardItemToFile(const CCHItem& item, LPCWSTR path);
// The item's bytes alone (no descriptor), as SaveClipboardItemToFile writes them.
bool WriteClipboardItemBytes(const CCHItem& item, LPCWSTR path);
// The descriptor written beside a saved file: the path with ".info" for its extension.
CString GetClipboardItemDescriptorPath(LPCWSTR path);
// Writes the item to a new temporary file (marked temporary and not indexed,
// open security, the warning prefix in its name, the item's extension) in the
// temporary folder (or `folder`) and registers it for deletion at exit. The
// path in `path`; false on failure.
bool SaveClipboardItemToTempFile(const CCHItem& item, CString& path, LPCWSTR folder = nullptr);
// Writes item `index` (0 = newest) to a temporary file and opens it with its
// associated program or the "Open with" dialog. A clip (type 3) opens nothing
// and reports true; an item without a file type (HTML, for instance) opens
// nothing, is logged and reports false. `openedPath` (may be null) receives the file.
bool OpenClipboardItemInTempFile(const CCHQueue& queue, int index, HWND owner, bool withAssociatedProgram,
                                 CString* openedPath = nullptr, LPCWSTR folder = nullptr);
