#pragma once

// Version texts of the program and of other files, built from their version
// resources: "Scrivolanter 2.60 build 123^" and the like.

#include <windows.h>

#include "platform/CString.h"

// The general form:
//  1. "Scrivolanter" when `productName`;
//  2. the version head of the file's product version ("," made "." and every
//     "." after the first removed: 2.6.0 becomes 2.60) - nothing more when the
//     file has no version resource;
//  3. with `buildPart`: " " (when a version stands), the label, a blank when
//     `blankBeforeNumber` or the label is longer than one character, and the
//     build number (the part after the last ".");
//  4. "^" when `elevationMark` and the process is elevated;
//  5. result = step 1 + " " + the rest, double blanks made single.
// `file` null: the program's own file.
CString FormatVersionText(LPCWSTR file, bool productName, bool buildPart, LPCWSTR label,
                          bool blankBeforeNumber, bool elevationMark);
// The same from the version strings themselves (for any file; tests).
CString FormatVersionTextFrom(const CString& productVersionHead, const CString& productVersionTail,
                              bool hasVersion, bool productName, bool buildPart, LPCWSTR label,
                              bool blankBeforeNumber, bool elevationMark, bool elevated);

CString GetProductVersionText(bool buildPart);
CString GetFullVersionText();
CString GetVersionTextForCaption();
// "Scrivolanter 2.60 b123".
CString GetShortVersionText();
CString GetVersionTextForReport();
// Another file's version, without product name and elevation mark.
CString GetModuleVersionText(LPCWSTR file, bool buildPart);
