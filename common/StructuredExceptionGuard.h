#pragma once

// A guard that catches structured exceptions (access violations, divisions by
// zero and the other processor faults) raised by the code run inside it, so
// that the caller can report the fault and carry on.
//
// How it works: a process-wide vectored exception handler, installed on first
// use, looks at the faulting thread's innermost guard frame (one per
// RunStructuredExceptionGuarded call, kept in a thread-local slot). When there
// is one and the exception is one of the caught codes (see IsGuardedExceptionCode),
// the handler records the code and resumes the thread at a landing routine that
// jumps back to the frame; RunStructuredExceptionGuarded then returns false.
// Frames between the guard and the fault are left without running their
// destructors (as with a structured exception handler): what they held leaks.
//
// Exceptions it leaves alone: C++ exceptions, debugger and diagnostics
// notifications, every code not in the caught list, exceptions of threads
// without a guard, and faults at an address inside ntdll, kernel32 or
// kernelbase (they check memory for themselves, IsBadReadPtr for example, and
// handle their own faults). Inside a guard, check memory with VirtualQuery
// rather than relying on such functions.

#include <windows.h>

#include <type_traits>
#include <utility>

#include "platform/CString.h"

// True for the codes the guard catches: the sixteen named ones of
// GetExceptionCodeName plus EXCEPTION_ILLEGAL_INSTRUCTION and EXCEPTION_IN_PAGE_ERROR.
bool IsGuardedExceptionCode(DWORD code);

// The Windows name of a fault code ("EXCEPTION_ACCESS_VIOLATION",
// "EXCEPTION_INT_DIVIDE_BY_ZERO", ...) for the sixteen codes it knows, and
// "Not found" for any other code.
LPCWSTR GetExceptionCodeName(DWORD code);

// text + " GetExceptionCode=%u status=[%s]" with the code as an unsigned
// decimal and its name.
CString FormatExceptionReport(LPCWSTR text, DWORD code);

// Runs body(context) under a guard frame. True when it returned normally;
// false after a caught exception, whose code goes to *exceptionCode (may be
// null). Guards nest: the innermost one catches. A C++ exception leaving the
// body passes through unchanged (the frame is removed first).
bool RunStructuredExceptionGuarded(void (*body)(void* context), void* context, DWORD* exceptionCode);

// The same for any callable.
template <typename Body>
bool RunStructuredExceptionGuarded(Body&& body, DWORD* exceptionCode)
{
    using Callable = std::remove_reference_t<Body>;
    return RunStructuredExceptionGuarded([](void* context) { (*static_cast<Callable*>(context))(); },
                                         const_cast<void*>(static_cast<const void*>(&body)), exceptionCode);
}

// Runs the body under a guard; on a caught exception writes
// FormatExceptionReport(text, code) to the shared log as an error line
// (LogError) and returns false.
template <typename Body>
bool RunGuardedAndLog(LPCWSTR text, Body&& body);

// Writes FormatExceptionReport(text, code) with LogError; used by RunGuardedAndLog.
void LogCaughtException(LPCWSTR text, DWORD code);

template <typename Body>
bool RunGuardedAndLog(LPCWSTR text, Body&& body)
{
    DWORD code = 0;
    if (RunStructuredExceptionGuarded(std::forward<Body>(body), &code))
        return true;
    LogCaughtException(text, code);
    return false;
}
