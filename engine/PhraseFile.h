#pragma once
// The phrase file: one UTF-8 XML document per phrase (root element "SCVCommand"), and
// "FOLDER_SELF.scrivolanter" with a folder's own properties. Reading fills a record; writing
// replaces the file only once the new content is complete on disk.

#include "engine/PhraseItemRecord.h"
#include "platform/CString.h"

#include <windows.h>

#include <string>

class TiXmlElement;

inline constexpr wchar_t kPhraseFileExtension[] = L".scrivolanter";
inline constexpr wchar_t kFolderSelfFileName[] = L"FOLDER_SELF.scrivolanter";
// Phrase files above this size are not read (a log line names them, the listing's size is
// checked before any byte is read). A phrase is a text or an RTF text with a few properties; 4 MB
// leaves room for RTF with pictures while a damaged file never costs the load more than a small
// multiple of this.
inline constexpr unsigned long long kMaxPhraseFileSize = 4ull * 1024 * 1024;
// Phrase documents whose elements nest deeper than this are refused as damaged.
inline constexpr int kMaxPhraseNesting = 16;
// Phrase documents that make more parser nodes than this (see IsXmlShapeWithin) are refused as
// damaged: ours have a root, a handful of children and their attributes.
inline constexpr size_t kMaxPhraseNodes = 1024;

// Fills the phrase fields of an existing record from the file. A false result (missing or empty
// MenuName, unreadable, invalid or too deeply nested file) leaves the record as it was.
bool ReadPhraseFile(PhraseItemRecord& record, const wchar_t* path);

// Writes the record's file (see WritePhraseFileBytes); true only when the new file replaced the
// old one. Failures are logged; the record is never changed.
bool SavePhraseFile(const PhraseItemRecord& record, const wchar_t* path);

// The document text (UTF-8) with only the usage attributes of its root changed: "UsageCount"
// raised by one from what the text holds, "DateUsage" set to the date. Everything else stays as
// the text has it. Empty when the text is not a phrase document.
std::string RaisePhraseUsage(const std::string& text, const SYSTEMTIME& date,
                             unsigned int* newCount = nullptr);

// The document text of the record (UTF-8); empty when it could not be built.
std::string BuildPhraseXml(const PhraseItemRecord& record);

// Fills the phrase fields of a record from a document text (UTF-8, NUL-terminated); the result and
// what is filled as for ReadPhraseFile.
bool ParsePhraseDocument(PhraseItemRecord& record, const char* text);

// Reads the whole file, shared for reading and deleting (so a writer elsewhere can still replace
// it). False for a file that cannot be opened, is empty, reads short or is larger than
// kMaxPhraseFileSize (logged).
bool ReadPhraseFileBytes(const wchar_t* path, std::string& content);
// Reads a file whose size is known (from a folder listing) into the buffer, which must hold
// size + 1 bytes; the byte after the content is left as it was (a NUL put there by the caller stays).
// False also when the file turns out to be shorter or longer than `size`, or `size` is 0 or above
// kMaxPhraseFileSize (logged).
bool ReadPhraseFileExactly(const wchar_t* path, char* buffer, size_t size);

// "year|month|day|hour|minute|second". Parsing zeroes `out` first; missing fields stay 0; true when
// the year is not 0.
bool ParseUsageDate(const char* text, SYSTEMTIME& out);
std::string FormatUsageDate(const SYSTEMTIME& date);

// "TEXT" 0, "RTF" 1, "EXEC" 2 (without regard to case); anything else is 0 / "TEXT".
int PhraseDataTypeFromText(const wchar_t* text);
const wchar_t* PhraseDataTypeToText(int type);

// The text of one element: its first child must be a text node. Converted from UTF-8 and passed
// through UnescapePhraseText. False when there is no text.
bool ReadPhraseElementText(const TiXmlElement* element, CString& out);
// Appends <name>text</name> to the parent (the text is escaped when the document is printed).
void AddPhraseTextElement(TiXmlElement* parent, const char* name, const wchar_t* text);

// Replaces, in place and in this order, every "&lt;" by "<", "&gt;" by ">" and "&quote;" by a
// quotation mark: sequences that older files carry literally in their texts.
void UnescapePhraseText(CString& text);
