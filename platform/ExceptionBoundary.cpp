#include "platform/ExceptionBoundary.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace
{
std::atomic<ExceptionReporter>& Reporter()
{
    static std::atomic<ExceptionReporter> reporter{nullptr};
    return reporter;
}

void Report(const wchar_t* where, const char* what) noexcept
{
    ::OutputDebugStringA(what);
    if (ExceptionReporter reporter = Reporter().load())
        reporter(where, what);
}
} // namespace

void SetExceptionReporter(ExceptionReporter reporter)
{
    Reporter().store(reporter);
}

void ReportCurrentException(const wchar_t* where) noexcept
{
    try {
        throw;
    } catch (const std::exception& error) {
        Report(where, error.what());
    } catch (...) {
        Report(where, "unknown exception");
    }
}

// A call through a pure virtual slot (an object used while it is being destroyed, or after it was freed) ends
// the program with a report instead of jumping to whatever the slot holds. The process ends at once with
// abort's code 3: no run-time message box that would keep a windowless program waiting.
namespace
{
[[noreturn]] void EndAfterFault(const wchar_t* where, const char* what) noexcept
{
    Report(where, what);
    std::fputs(what, stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    std::abort();
}
} // namespace

extern "C" void __cxa_pure_virtual()
{
    EndAfterFault(L"pure virtual call", "pure virtual function call: an object was used while it was being "
                                        "destroyed or after it was freed");
}

extern "C" void __cxa_deleted_virtual()
{
    EndAfterFault(L"deleted virtual call", "deleted virtual function call");
}
