#include "common/StructuredExceptionGuard.h"

#include <float.h>

#include <iterator>

#include "common/SharedLog.h"

namespace
{
struct NamedCode
{
    DWORD code;
    LPCWSTR name;
};

const NamedCode kNamedCodes[] = {
    {EXCEPTION_ACCESS_VIOLATION, L"EXCEPTION_ACCESS_VIOLATION"},
    {EXCEPTION_BREAKPOINT, L"EXCEPTION_BREAKPOINT"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, L"EXCEPTION_DATATYPE_MISALIGNMENT"},
    {EXCEPTION_SINGLE_STEP, L"EXCEPTION_SINGLE_STEP"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {EXCEPTION_FLT_DENORMAL_OPERAND, L"EXCEPTION_FLT_DENORMAL_OPERAND"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, L"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {EXCEPTION_FLT_INEXACT_RESULT, L"EXCEPTION_FLT_INEXACT_RESULT"},
    {EXCEPTION_FLT_INVALID_OPERATION, L"EXCEPTION_FLT_INVALID_OPERATION"},
    {EXCEPTION_FLT_OVERFLOW, L"EXCEPTION_FLT_OVERFLOW"},
    {EXCEPTION_FLT_STACK_CHECK, L"EXCEPTION_FLT_STACK_CHECK"},
    {EXCEPTION_FLT_UNDERFLOW, L"EXCEPTION_FLT_UNDERFLOW"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {EXCEPTION_INT_OVERFLOW, L"EXCEPTION_INT_OVERFLOW"},
    {EXCEPTION_PRIV_INSTRUCTION, L"EXCEPTION_PRIV_INSTRUCTION"},
    {EXCEPTION_NONCONTINUABLE_EXCEPTION, L"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
};

// One guard frame per RunStructuredExceptionGuarded call, on that call's stack.
struct GuardFrame
{
    void* jumpBuffer[5] = {}; // what __builtin_setjmp keeps
    GuardFrame* previous = nullptr;
    DWORD code = 0;
#if defined(__i386__)
    void* exceptionList = nullptr; // the thread's handler chain at entry, put back after a jump
#endif
};

// Address range of a loaded module.
struct ModuleRange
{
    ULONG_PTR begin = 0;
    ULONG_PTR end = 0;
    bool Contains(ULONG_PTR address) const { return address >= begin && address < end; }
};

// The modules whose own faults are left to their own handlers.
const wchar_t* const kSelfHandlingModules[] = {L"ntdll.dll", L"kernel32.dll", L"kernelbase.dll"};

struct GuardState
{
    DWORD tlsSlot = TLS_OUT_OF_INDEXES;
    PVOID handler = nullptr;
    ModuleRange selfHandling[std::size(kSelfHandlingModules)];
};

GuardState g_state;
INIT_ONCE g_installOnce = INIT_ONCE_STATIC_INIT;

ModuleRange GetModuleRange(LPCWSTR name)
{
    ModuleRange range;
    const auto base = reinterpret_cast<const BYTE*>(::GetModuleHandleW(name));
    if (!base)
        return range;
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return range;
    const auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return range;
    range.begin = reinterpret_cast<ULONG_PTR>(base);
    range.end = range.begin + nt->OptionalHeader.SizeOfImage;
    return range;
}

bool IsInSelfHandlingModule(const void* address)
{
    const auto value = reinterpret_cast<ULONG_PTR>(address);
    for (const ModuleRange& range : g_state.selfHandling) {
        if (range.Contains(value))
            return true;
    }
    return false;
}

#if defined(__i386__)
// The head of the thread's chain of frame-based handlers (fs:[0]).
void* ReadHandlerChain()
{
    void* head = nullptr;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void WriteHandlerChain(void* head)
{
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}
#endif

GuardFrame* GetTopFrame()
{
    return static_cast<GuardFrame*>(::TlsGetValue(g_state.tlsSlot));
}

// Where a caught fault resumes: back to the innermost frame's jump point.
[[noreturn]] __attribute__((noinline)) void LandAtGuardFrame()
{
    _clearfp(); // a floating-point fault leaves its status flag set
    GuardFrame* frame = GetTopFrame();
    __builtin_longjmp(frame->jumpBuffer, 1);
}

LONG CALLBACK GuardExceptionHandler(EXCEPTION_POINTERS* info)
{
    GuardFrame* frame = GetTopFrame();
    if (!frame)
        return EXCEPTION_CONTINUE_SEARCH;
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (!IsGuardedExceptionCode(record->ExceptionCode) || IsInSelfHandlingModule(record->ExceptionAddress))
        return EXCEPTION_CONTINUE_SEARCH;

    frame->code = record->ExceptionCode;
    CONTEXT* context = info->ContextRecord;
    // Resume at the landing routine on an aligned stack below the fault's, as
    // if it had just been called.
#if defined(_WIN64)
    context->Rsp = ((context->Rsp - 512) & ~static_cast<DWORD64>(15)) - 8;
    context->Rip = reinterpret_cast<DWORD64>(&LandAtGuardFrame);
#else
    context->Esp = ((context->Esp - 512) & ~static_cast<DWORD>(15)) - 4;
    context->Eip = reinterpret_cast<DWORD>(&LandAtGuardFrame);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

BOOL CALLBACK InstallGuard(PINIT_ONCE, PVOID, PVOID*)
{
    for (size_t i = 0; i < std::size(kSelfHandlingModules); ++i)
        g_state.selfHandling[i] = GetModuleRange(kSelfHandlingModules[i]);
    g_state.tlsSlot = ::TlsAlloc();
    if (g_state.tlsSlot == TLS_OUT_OF_INDEXES)
        return FALSE;
    g_state.handler = ::AddVectoredExceptionHandler(1, &GuardExceptionHandler);
    return g_state.handler != nullptr;
}

bool EnsureGuardInstalled()
{
    return ::InitOnceExecuteOnce(&g_installOnce, &InstallGuard, nullptr, nullptr) != FALSE;
}

// Runs the body with the frame's jump point set; false when a fault came back here.
__attribute__((noinline)) bool RunInFrame(GuardFrame& frame, void (*body)(void*), void* context)
{
    if (__builtin_setjmp(frame.jumpBuffer) != 0)
        return false;
    body(context);
    return true;
}

// Makes the frame the thread's innermost one for its lifetime.
class FrameRegistration
{
public:
    explicit FrameRegistration(GuardFrame& frame) : m_frame(frame)
    {
        frame.previous = GetTopFrame();
#if defined(__i386__)
        frame.exceptionList = ReadHandlerChain();
#endif
        ::TlsSetValue(g_state.tlsSlot, &frame);
    }
    ~FrameRegistration()
    {
        ::TlsSetValue(g_state.tlsSlot, m_frame.previous);
    }
    FrameRegistration(const FrameRegistration&) = delete;
    FrameRegistration& operator=(const FrameRegistration&) = delete;

private:
    GuardFrame& m_frame;
};
} // namespace

bool IsGuardedExceptionCode(DWORD code)
{
    if (code == EXCEPTION_ILLEGAL_INSTRUCTION || code == EXCEPTION_IN_PAGE_ERROR)
        return true;
    for (const NamedCode& named : kNamedCodes) {
        if (named.code == code)
            return true;
    }
    return false;
}

LPCWSTR GetExceptionCodeName(DWORD code)
{
    for (const NamedCode& named : kNamedCodes) {
        if (named.code == code)
            return named.name;
    }
    return L"Not found";
}

CString FormatExceptionReport(LPCWSTR text, DWORD code)
{
    CString report;
    report.Format(L"%s GetExceptionCode=%u status=[%s]", text ? text : L"", static_cast<unsigned>(code),
                  GetExceptionCodeName(code));
    return report;
}

bool RunStructuredExceptionGuarded(void (*body)(void* context), void* context, DWORD* exceptionCode)
{
    if (exceptionCode)
        *exceptionCode = 0;
    if (!EnsureGuardInstalled()) {
        body(context); // no guard to be had: run unguarded rather than not at all
        return true;
    }
    GuardFrame frame;
    FrameRegistration registration(frame);
    if (RunInFrame(frame, body, context))
        return true;
#if defined(__i386__)
    WriteHandlerChain(frame.exceptionList);
#endif
    if (exceptionCode)
        *exceptionCode = frame.code;
    return false;
}

void LogCaughtException(LPCWSTR text, DWORD code)
{
    LogError(FormatExceptionReport(text, code));
}
