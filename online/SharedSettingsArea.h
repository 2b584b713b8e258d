#pragma once

// The shared settings area: a small named mapping in which the main program
// publishes its show-menu hot key and the text selected in the target window,
// for the editor and the welcome program to show.
//
// Mapping "Local\$SCRIVOLANTER_SETTING_AREA$" (GetSettingAreaMappingName),
// backed by the paging file, 1024 bytes, readable and writable by everyone.
// Content from byte 0: one UTF-8 XML document followed by a NUL byte:
//
//   <?xml version="1.0" ?>
//   <ScrivolanterSettings HotKey_Key="123" HotKey_Mod="3" Double="0">
//       <SelText>the selected text</SelText>
//   </ScrivolanterSettings>
//
// ("\r\n" line breaks, four-blank indentation; "SelText" only when there is a
// selected text). A selected text too long for the area (a document of more than
// 1023 bytes) is published cut on a character boundary, ending with the cut mark
// U+2026: a reader finds the start of the selection just made, never an older one.
//
// Readers never trust the content: the text is searched for its NUL only
// within the memory the view really covers, and a text without one reads as
// nothing.

#include <windows.h>

#include <string>

#include "platform/CString.h"

// Size of the mapping in bytes, terminator included.
inline constexpr DWORD kSharedSettingsAreaSize = 1024;
// The longest text a reader accepts, in bytes without the terminator.
inline constexpr size_t kSharedSettingsMaxTextBytes = 51200;

// The document for the hot key (virtual key), its modifiers (MOD_ALT 1,
// MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8), the double-press flag and the
// selected text (null or empty: no "SelText"), as UTF-8; empty when printing
// fails.
std::string BuildSharedSettingsXml(UINT virtualKey, UINT modifiers, bool doublePress, LPCWSTR selectedText);

// The cut mark that ends a selected text cut to fit the area.
inline constexpr wchar_t kSelectionCutMark = L'\u2026';

// The first `chars` characters of `text` (one less when that would split a
// surrogate pair) followed by the cut mark.
std::wstring CutSelectedText(const std::wstring& text, size_t chars);

// BuildSharedSettingsXml with the selected text cut (CutSelectedText) to the
// longest start whose document fits the area with its terminator.
std::string BuildFittingSharedSettingsXml(UINT virtualKey, UINT modifiers, bool doublePress,
                                          LPCWSTR selectedText);

// Builds the fitting document and writes it into the area, creating the
// mapping on the first call; the mapping then stays open for the life of the
// process so the area outlives each write. True when written; false, leaving
// the area as it was, when the document is empty or the mapping cannot be
// made. Any thread may call it.
bool WriteSharedSettingsArea(UINT virtualKey, UINT modifiers, bool doublePress, LPCWSTR selectedText);

// Closes the writer's mapping (the area disappears once no reader holds it).
// For orderly shutdown and tests; a later write creates it again.
void CloseSharedSettingsArea();

// The NUL-terminated text at `view`, searched only within the committed
// memory region that holds it (VirtualQuery) and at most maxBytes + 1 bytes
// far. Empty when the text is empty, longer than maxBytes, has no terminator
// within that range, or the memory cannot be read.
std::string ReadTerminatedTextInView(const void* view, size_t maxBytes);

// The text of the area (opened for reading only, the whole view mapped; the
// mapping is closed again before returning); empty when there is no area or
// its text is empty, has no terminator or is longer than 51200 bytes.
std::string ReadSharedSettingsAreaText();

// What a read fills; a null pointer skips that part.
struct SharedSettingsValues
{
    WORD* virtualKey = nullptr;
    WORD* modifiers = nullptr;
    int* doublePress = nullptr;      // 0 or 1
    CString* selectedText = nullptr; // left alone when there is no "SelText"
};

// Parses a document of the area into `values`: the attributes as integers
// (0 when absent), "Double" as 0/1, the selected text when "SelText" exists.
// False, filling nothing, when the text is empty or has no
// "ScrivolanterSettings" element.
bool ParseSharedSettingsXml(const std::string& text, const SharedSettingsValues& values);

// ReadSharedSettingsAreaText + ParseSharedSettingsXml.
bool ReadSharedSettingsArea(const SharedSettingsValues& values);

// The selected text the main program published; empty when there is none.
CString GetSelectedTextFromMainProgram();
