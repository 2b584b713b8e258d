#pragma once
// A temp program folder made of the built programs, for tests that run them from there.

#include <initializer_list>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace scvtest
{

// Copies the files of the built programs' folder that match the patterns (a name such as
// L"Scrivolanter.exe", or a wildcard such as L"*.dll") into the folder, under their own names.
// True when every pattern matched a file and every copy succeeded.
bool CopyBuiltPrograms(const TempFolder& folder, std::initializer_list<const wchar_t*> patterns);

// Ends the main program that runs from the folder as the user's "Scrivolanter.exe /exit" does,
// waiting up to `timeoutMs` for each; a program that has not ended by then is terminated.
void ExitMainProgram(const TempFolder& folder, ChildProcess& program, DWORD timeoutMs);

} // namespace scvtest
