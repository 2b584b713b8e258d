#pragma once
// File and directory names made from phrase titles.

#include "platform/CString.h"

#include <functional>

// A file-name part made from a text: blanks and tabs trimmed; cut before the first line feed after
// the first character; each of ? : \ " ! / < > . * | { } = ( ) ' and every control character
// replaced by `replacement` (blanks too when `replaceBlanks` is set; an empty replacement drops
// them); "___" and then "__" made one "_"; "_" trimmed at both ends.
CString SanitizeFileNamePart(const CString& text, bool replaceBlanks, const wchar_t* replacement);

// The file name of a title: SanitizeFileNamePart with "_", the number appended when above 1, and
// ".scrivolanter" when `addExtension` is set. A name the system reserves for a device ("CON",
// "nul", "COM1" ...) gets a "_" appended. The name part is cut so that it fits into a folder path of
// `folderLength` characters (its backslash counted) below MAX_PATH, with room left for a number, the
// extension and a group's own file: a long title (a clipboard line) still gives a name that saves.
CString MakePhraseFileName(const CString& title, int number, bool addExtension, bool blanksToUnderscores,
                           int folderLength = 0);

// Tells whether a candidate path is already spoken for beyond what is on disk (a save waiting in a
// queue, for example).
using PathTakenFunction = std::function<bool(const CString& path)>;

// The first of folder\name, folder\name2, folder\name3 ... (MakePhraseFileName) that names nothing
// on disk (neither a file nor a directory, whichever `asFile` asks for, since the two cannot share a
// name) and that `isTaken`, when given, does not claim.
CString MakeUniquePhrasePath(const CString& title, const CString& folder, bool addExtension,
                             bool blanksToUnderscores, bool asFile, const PathTakenFunction& isTaken = {});

// True for the device names no file may take: CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9
// (without regard to case).
bool IsReservedDeviceName(const CString& stem);

// The first of folder\stem.scrivolanter, folder\stem_1.scrivolanter, folder\stem_2.scrivolanter ...
// that is no existing file; the stem cut to fit the folder as MakePhraseFileName cuts it.
CString MakeNumberedPhrasePath(const CString& folder, const CString& stem);
