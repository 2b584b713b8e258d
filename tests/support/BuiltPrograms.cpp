#include "support/BuiltPrograms.h"

#include <string>

#include "support/TestFiles.h"

namespace scvtest
{

bool CopyBuiltPrograms(const TempFolder& folder, std::initializer_list<const wchar_t*> patterns)
{
    const std::wstring bin = ParentFolder(ProgramPath(L"Scrivolanter.exe"));
    bool all = true;
    for (const wchar_t* pattern : patterns) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((bin + L"\\" + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            all = false;
            continue;
        }
        do {
            all = ::CopyFileW((bin + L"\\" + found.cFileName).c_str(), folder.PathOf(found.cFileName).c_str(),
                              FALSE) &&
                  all;
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return all;
}

void ExitMainProgram(const TempFolder& folder, ChildProcess& program, DWORD timeoutMs)
{
    ChildOptions options;
    options.workingDirectory = folder.Path();
    ChildProcess::Run(folder.PathOf(L"Scrivolanter.exe"), {L"/exit"}, options).Wait(timeoutMs);
    if (!program.Wait(timeoutMs))
        program.Terminate();
}

} // namespace scvtest
