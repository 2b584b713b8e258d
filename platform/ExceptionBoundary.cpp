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

void EndProgramAfterFault(const wchar_t* where, const char* what) noexcept
{
    Report(where, what);
    std::fputs(what, stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    std::abort();
}

// Links the pure-call handler (PureVirtualCall.cpp) into every program that has window objects: the
// references to it are weak and would not pull it out of the library on their own.
extern "C" void ScvPureVirtualCall();
[[maybe_unused]] __attribute__((used)) static void (*const g_pureCallHandler)() = &ScvPureVirtualCall;
