#pragma once

// Guesses the code page of a block of bytes of unknown encoding (clipboard
// text shown in the user interface) and names it by its web charset name.
// The system's MLang service is asked first; where it is missing or refuses
// the request, a built-in detector for the common cases (byte order marks,
// UTF-16 without mark, UTF-8, plain ASCII, Cyrillic windows-1251 and Western
// windows-1252) answers instead. Call on a thread where COM is initialised
// (without COM only the built-in detector runs).

#include <windows.h>

#include "platform/CString.h"

// One candidate of a detection: a code page with its confidence and the share
// of the text it covers (0 when not reported).
struct CodePageCandidate
{
    UINT codePage = 0;
    INT docPercent = 0;
    INT confidence = 0;
};

// Detects the charset of `bytes`. On success fills outName (may be null) with
// the charset name and outCodePage (may be null) with the code page, and
// returns true. False for null or empty input, no confident candidate, or a
// code page without a charset name.
bool DetectCharset(const void* bytes, int size, CString* outName, int* outCodePage);

// The code page DetectCharset finds; 0 when none.
int DetectTextCodePage(const void* bytes, int size);

// The code page of the best candidate: score confidence x docPercent (only
// confidence when docPercent is 0); the first of equal scores wins and scores
// of 0 or less never do. -1 when there is no such candidate.
int PickBestCodePage(const CodePageCandidate* candidates, int count);

// The charset name of the first table row with that code page; null when the
// table has none.
const char* FindCharsetName(int codePage);

// Asks MLang for up to `capacity` candidates. Returns its HRESULT (the
// creation's failure when MLang is not there) and the number found in count.
HRESULT DetectCodePageCandidatesWithMLang(const void* bytes, int size, CodePageCandidate* candidates,
                                          int capacity, int& count);

// The built-in detector: one candidate (confidence 100) or none (0 returned).
int DetectCodePageCandidatesBuiltIn(const void* bytes, int size, CodePageCandidate* candidates, int capacity);
