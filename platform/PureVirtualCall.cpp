// The handler of calls through a pure virtual slot: an object used while it is being destroyed, or after
// it was freed. The compiler refers to "__cxa_pure_virtual" weakly, so that without a strong definition
// every pure slot holds 0 and such a call jumps to address 0. This file gives the strong definition,
// as a label in assembly (a definition in C++ would take the compiler's weak declaration); it is built
// on its own, without the shared precompiled header and outside the unity files, so that nothing here
// refers to the weak name.

#include "platform/ExceptionBoundary.h"

#define SCV_STRINGIFY_(x) #x
#define SCV_STRINGIFY(x) SCV_STRINGIFY_(x)
#define SCV_ASM_NAME(name) SCV_STRINGIFY(__USER_LABEL_PREFIX__) #name

extern "C" [[noreturn]] void ScvPureVirtualCall() noexcept
{
    EndProgramAfterFault(L"pure virtual call", "pure virtual function call: an object was used while it was "
                                               "being destroyed or after it was freed");
}

extern "C" [[noreturn]] void ScvDeletedVirtualCall() noexcept
{
    EndProgramAfterFault(L"deleted virtual call", "deleted virtual function call");
}

asm(".text\n"
    ".globl " SCV_ASM_NAME(__cxa_pure_virtual) "\n" SCV_ASM_NAME(
        __cxa_pure_virtual) ":\n"
                            "    jmp " SCV_ASM_NAME(
                                ScvPureVirtualCall) "\n"
                                                    ".globl " SCV_ASM_NAME(__cxa_deleted_virtual) "\n" SCV_ASM_NAME(
                                                        __cxa_deleted_virtual) ":\n"
                                                                               "    jmp " SCV_ASM_NAME(
                                                                                   ScvDeletedVirtualCall) "\n");
