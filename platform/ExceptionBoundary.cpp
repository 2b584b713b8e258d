#include "platform/ExceptionBoundary.h"

#include <atomic>
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
