#pragma once
// File and directory names made from phrase titles.

#include "platform/CString.h"

#include <functional>

// A file-name part made from a text: blanks and tabs trimmed; cut before the first line feed after
// the first character; each of ? : \ " ! / < > . * | { } = ( ) ' and every control character
// replaced by `replacement` (blanks too when `replaceBlanks` is set); "___" and then "__" made one
// replacement; the replacement character trimmed at both ends.
CString SanitizeFileNamePart(const CString& text, bool replaceBlanks, const wchar_t* replacement);

// The file name of a title: SanitizeFileNamePart with "_", the number appended when above 1, and
// ".scrivolanter" when `addExtension` is set.
CString MakePhraseFileName(const CString& title, int number, bool addExtension, bool blanksToUnderscores);

// Tells whether a candidate path is already spoken for beyond what is on disk (a save waiting in a
// queue, for example).
using PathTakenFunction = std::function<bool(const CString& path)>;

// The first of folder\name, folder\name2, folder\name3 ... (MakePhraseFileName) that names nothing
// on disk (neither a file nor a directory, whichever `asFile` asks for, since the two cannot share a
// name) and that `isTaken`, when given, does not claim.
CString MakeUniquePhrasePath(const CString& title, const CString& folder, bool addExtension, bool blanksToUnderscores,
                             bool asFile, const PathTakenFunction& isTaken = {});
