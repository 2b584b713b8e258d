#pragma once

// Marker files: files whose mere presence switches a behaviour on. Each marker
// is looked at on disk once per process; a marker created later is seen only
// after a restart.

#include <vector>

#include "platform/CString.h"

// "UpdateVersion_Test.UpdateVersion_Test": puts the update check into test mode.
inline constexpr wchar_t kUpdateTestMarkerName[] = L"UpdateVersion_Test.UpdateVersion_Test";

// Replaces the list by the names of the markers the program knows; returns their count.
int GetMarkerFileNames(std::vector<CString>& names);
// The marker is present: `name` is a full path when it holds a backslash, else
// a file in the program folder. The first answer for a path is kept.
bool IsMarkerFilePresent(LPCWSTR name);
bool IsUpdateTestMarkerPresent();
