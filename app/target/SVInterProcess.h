#pragma once

// Reading and writing the interchange area (see platform/interchange/InterchangeArea.h): the
// paging-file mapping, the query document the core hook DLL writes and the
// answer document the program writes back.
//
// The area is written by another process and is never trusted: a text is
// taken only when its terminator lies within the view's real size; a text
// without one, an empty text, a malformed document and one nested deeper
// than any query are failed reads.

#include <windows.h>

#include <string>

#include "app/target/SVAnswer.h"
#include "engine/SVQuery.h"

class SVInterProcess
{
public:
    // CreateFileMappingW on the paging file, PAGE_READWRITE, kMappingSize
    // bytes, open security attributes (default security when they cannot be
    // made). An existing mapping of that name is opened and logged. The
    // caller's last error is kept.
    static HANDLE CreateEmptyFileMapping(LPCWSTR name);

    // The text at offset 0 of the mapping `name`, as bytes without the
    // terminator. False when the mapping cannot be opened or mapped, or its
    // text is empty, unterminated or too long.
    static bool ReadMappingText(LPCWSTR name, std::string& text);

    // ReadMappingText + ParseQuery.
    static bool ReadQuery(SVQuery& query, LPCWSTR mappingName);

    // Fills the query from an "SVQuery" document (UTF-8; ANSI when its
    // declaration names another encoding). Elements that are missing leave
    // their fields alone; a missing "HKLLoword" or "HKLHoword" gives 0xFFFF
    // in its half of the layout (both missing: the layout stays). False,
    // for a malformed document or one without the "SVQuery" element.
    static bool ParseQuery(SVQuery& query, const char* document);

    // The "SVAnswer" document ("\r\n" line breaks); false for an answer
    // without items.
    static bool BuildAnswer(const SVAnswer& answer, std::string& text);

    // BuildAnswer + WriteTextToMapping; logs "Cannot write answer to MMF\n"
    // on failure.
    static bool WriteAnswer(const SVAnswer& answer, LPCWSTR mappingName);

    // Copies the text and its terminator to offset 0 of the mapping `name`.
    // False for an empty text or when it does not fit the mapping.
    static bool WriteTextToMapping(const std::string& text, LPCWSTR name);
};
