#pragma once
// The editor's phrase-file writer with an error callback; reading, the document and the DataType
// names are the engine's (engine/PhraseFile.h), so both programs write the same bytes.

#include "engine/PhraseItemRecord.h"
#include "platform/CString.h"

// Told of a failed write: the record, the file and the error text.
using PhraseWriteErrorFunction = void (*)(const PhraseItemRecord& record, const CString& path,
                                          const CString& errorText, void* user);

// Writes the record's file at once (a new complete file replaces the old one). On failure the error
// text ("ERROR: cannot create XML for command", or "ERROR: code %d, %s" with the system's error)
// is logged and passed to `onError` when given. True when every byte was written.
bool WritePhraseFile(const PhraseItemRecord& record, const CString& path, PhraseWriteErrorFunction onError,
                     void* user);

// "TEXT" 0, "RTF" 1, "EXEC" 2 (without regard to case); anything else is 0 and writes "TEXT".
int DataTypeFromText(const CString& text);
CString DataTypeText(int kind);
