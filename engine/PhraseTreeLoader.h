#pragma once
// Loading a folder tree of phrase files into records: every directory becomes a folder record
// (its "FOLDER_SELF.scrivolanter" giving the folder's own properties, its name the title) and every
// readable ".scrivolanter" file a phrase record.

#include "engine/PhraseItemRecord.h"
#include "platform/CString.h"

#include <vector>

// Fills `items` with the folders and phrases of `root` and everything below it. Each list keeps the
// order in which the system lists the directory; ids are given from `lastId` + 1 on in that order,
// a folder before what it holds; files that cannot be read or parsed are left out and use no id.
// Linked directories (junctions, symbolic links) are not entered. Returns the highest id given
// (`lastId` when nothing was loaded).
// Id blocks no phrase gets: the pop-up menu's history items (2000 + i, at most
// 1000 of them) and the program's commands with the tray menu's history items.
inline constexpr int kFirstReservedHistoryId = 2000;
inline constexpr int kLastReservedHistoryId = 2999;
inline constexpr int kFirstReservedCommandId = 32768;
inline constexpr int kLastReservedCommandId = 34999;

int LoadPhraseTree(const CString& root, std::vector<PhraseItemRecord>& items, int lastId = 0);
