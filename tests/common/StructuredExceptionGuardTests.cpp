// test-locks: sharedlog
// The structured exception guard: processor faults inside it are caught,
// reported with their code names in the shared log, and the program goes on;
// nesting, threads and C++ exceptions passing through.

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "common/SharedLog.h"
#include "common/StructuredExceptionGuard.h"
#include "support/TempFolder.h"

namespace
{

constexpr DWORD kLogTimeoutMs = 20000;

// The faults are made through volatile values so that the compiler keeps them.
volatile int g_zero = 0;
volatile int* volatile g_badAddress = reinterpret_cast<volatile int*>(static_cast<ULONG_PTR>(0x10));

__attribute__((noinline)) void WriteToBadAddress()
{
    *g_badAddress = 42;
}

__attribute__((noinline)) int DivideByZero()
{
    return 7 / g_zero;
}

__attribute__((noinline)) void ExecuteIllegalInstruction()
{
    __builtin_trap();
}

struct FaultCase
{
    const wchar_t* label;
    void (*fault)();
    DWORD code;
    const wchar_t* name;
};

const FaultCase kFaults[] = {
    {L"write", [] { WriteToBadAddress(); }, EXCEPTION_ACCESS_VIOLATION, L"EXCEPTION_ACCESS_VIOLATION"},
    {L"read",
     [] {
         volatile int value = *g_badAddress;
         (void)value;
     },
     EXCEPTION_ACCESS_VIOLATION, L"EXCEPTION_ACCESS_VIOLATION"},
    {L"divide",
     [] {
         volatile int value = DivideByZero();
         (void)value;
     },
     EXCEPTION_INT_DIVIDE_BY_ZERO, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {L"trap", [] { ExecuteIllegalInstruction(); }, EXCEPTION_ILLEGAL_INSTRUCTION, L"Not found"},
};

class StructuredExceptionGuardLog : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(LogOpen(m_logPath.c_str())); }
    void TearDown() override
    {
        WaitForPendingLogEntries(kLogTimeoutMs);
        LogClose();
    }

    std::wstring ReadLog()
    {
        EXPECT_TRUE(WaitForPendingLogEntries(kLogTimeoutMs));
        return m_temp.ReadText(L"log.txt").value_or(L"");
    }

    scvtest::TempFolder m_temp;
    std::wstring m_logPath = m_temp.PathOf(L"log.txt");
};

TEST_F(StructuredExceptionGuardLog, FaultsAreCaughtLoggedByNameAndTheCodeGoesOn)
{
    for (int round = 0; round < 2; ++round) {
        for (const FaultCase& fault : kFaults) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", " << fault.label);
            bool reachedEnd = false;
            const std::wstring text = std::wstring(L"ERROR: Exception in Fixture::") + fault.label;
            const bool completed = RunGuardedAndLog(text.c_str(), [&] {
                fault.fault();
                reachedEnd = true;
            });
            EXPECT_FALSE(completed);
            EXPECT_FALSE(reachedEnd) << "the body ends at the fault";
        }
    }

    const std::wstring log = ReadLog();
    for (const FaultCase& fault : kFaults) {
        const std::wstring line = std::wstring(L"ERROR: [ERROR: Exception in Fixture::") + fault.label +
                                  L" GetExceptionCode=" + std::to_wstring(fault.code) + L" status=[" +
                                  fault.name + L"]]\r\n";
        const size_t first = log.find(line);
        ASSERT_NE(first, std::wstring::npos) << "missing: " << testing::PrintToString(line);
        EXPECT_NE(log.find(line, first + 1), std::wstring::npos) << "second round";
    }
}

TEST(StructuredExceptionGuard, GivesTheCodeAndRunsNormalBodiesToTheirEnd)
{
    DWORD code = 123;
    int value = 0;
    EXPECT_TRUE(RunStructuredExceptionGuarded([&] { value = 5; }, &code));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(code, 0u);

    EXPECT_FALSE(RunStructuredExceptionGuarded([] { WriteToBadAddress(); }, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_FALSE(RunStructuredExceptionGuarded(
        [] {
            volatile int v = DivideByZero();
            (void)v;
        },
        nullptr));
}

TEST(StructuredExceptionGuard, TheInnermostGuardCatchesAndTheOuterOneGoesOn)
{
    DWORD innerCode = 0;
    bool innerResult = true;
    bool outerGoesOn = false;
    DWORD outerCode = 0;
    const bool outer = RunStructuredExceptionGuarded(
        [&] {
            innerResult = RunStructuredExceptionGuarded([] { WriteToBadAddress(); }, &innerCode);
            outerGoesOn = true;
        },
        &outerCode);
    EXPECT_TRUE(outer);
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(innerCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_TRUE(outerGoesOn);

    // A fault after the inner guard ended belongs to the outer one.
    bool afterInner = false;
    EXPECT_FALSE(RunStructuredExceptionGuarded(
        [&] {
            RunStructuredExceptionGuarded([] {}, nullptr);
            afterInner = true;
            volatile int v = DivideByZero();
            (void)v;
        },
        &outerCode));
    EXPECT_TRUE(afterInner);
    EXPECT_EQ(outerCode, static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));
}

TEST(StructuredExceptionGuard, CppExceptionsPassThroughAndLeaveNoFrameBehind)
{
    EXPECT_THROW(RunStructuredExceptionGuarded([] { throw std::runtime_error("through"); }, nullptr),
                 std::runtime_error);
    // A C++ exception thrown and caught inside the body stays inside it.
    bool caughtInside = false;
    EXPECT_TRUE(RunStructuredExceptionGuarded(
        [&] {
            try {
                throw std::logic_error("inside");
            } catch (const std::logic_error&) {
                caughtInside = true;
            }
        },
        nullptr));
    EXPECT_TRUE(caughtInside);
    // The guard still works after the exception left its frame.
    DWORD code = 0;
    EXPECT_FALSE(RunStructuredExceptionGuarded([] { WriteToBadAddress(); }, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

TEST(StructuredExceptionGuard, EachThreadHasItsOwnFrames)
{
    DWORD threadCode = 0;
    bool threadResult = true;
    std::thread worker(
        [&] { threadResult = RunStructuredExceptionGuarded([] { WriteToBadAddress(); }, &threadCode); });
    worker.join();
    EXPECT_FALSE(threadResult);
    EXPECT_EQ(threadCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

    // A fault in a thread's guard while this thread sits in a guard of its own.
    bool mainDone = false;
    EXPECT_TRUE(RunStructuredExceptionGuarded(
        [&] {
            std::thread other(
                [&] { threadResult = RunStructuredExceptionGuarded([] { DivideByZero(); }, &threadCode); });
            other.join();
            mainDone = true;
        },
        nullptr));
    EXPECT_TRUE(mainDone);
    EXPECT_FALSE(threadResult);
    EXPECT_EQ(threadCode, static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));
}

TEST(StructuredExceptionGuard, NamesAndReportText)
{
    struct Named
    {
        DWORD code;
        const wchar_t* name;
    };
    const Named names[] = {
        {0xC0000005, L"EXCEPTION_ACCESS_VIOLATION"},
        {0x80000003, L"EXCEPTION_BREAKPOINT"},
        {0x80000002, L"EXCEPTION_DATATYPE_MISALIGNMENT"},
        {0x80000004, L"EXCEPTION_SINGLE_STEP"},
        {0xC000008C, L"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
        {0xC000008D, L"EXCEPTION_FLT_DENORMAL_OPERAND"},
        {0xC000008E, L"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
        {0xC000008F, L"EXCEPTION_FLT_INEXACT_RESULT"},
        {0xC0000090, L"EXCEPTION_FLT_INVALID_OPERATION"},
        {0xC0000091, L"EXCEPTION_FLT_OVERFLOW"},
        {0xC0000092, L"EXCEPTION_FLT_STACK_CHECK"},
        {0xC0000093, L"EXCEPTION_FLT_UNDERFLOW"},
        {0xC0000094, L"EXCEPTION_INT_DIVIDE_BY_ZERO"},
        {0xC0000095, L"EXCEPTION_INT_OVERFLOW"},
        {0xC0000096, L"EXCEPTION_PRIV_INSTRUCTION"},
        {0xC0000025, L"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
        {0xC000001D, L"Not found"},
        {0xE06D7363, L"Not found"},
        {0, L"Not found"},
    };
    for (const Named& named : names)
        EXPECT_STREQ(GetExceptionCodeName(named.code), named.name) << std::hex << named.code;

    EXPECT_STREQ(FormatExceptionReport(L"Crash: on X::Y", 0xC0000094),
                 L"Crash: on X::Y GetExceptionCode=3221225620 status=[EXCEPTION_INT_DIVIDE_BY_ZERO]");
    EXPECT_FALSE(IsGuardedExceptionCode(0xE06D7363)) << "C++ exceptions are not caught";
    EXPECT_FALSE(IsGuardedExceptionCode(0x40010006)) << "debug output is not caught";
}

} // namespace
