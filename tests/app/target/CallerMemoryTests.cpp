// Memory named by a message: texts are read only up to the end of their
// region, buffers are written only within the given size and only when they
// are writable memory of this process.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/target/CallerMemory.h"

namespace
{

// One page of committed memory (and nothing after it).
class Page
{
public:
    Page()
    {
        m_base =
            static_cast<wchar_t*>(::VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~Page() { ::VirtualFree(m_base, 0, MEM_RELEASE); }
    static constexpr size_t kSize = 4096;
    static constexpr size_t kChars = kSize / sizeof(wchar_t);
    wchar_t* Base() const { return m_base; }
    wchar_t* Last(size_t chars) const { return m_base + kChars - chars; }

private:
    wchar_t* m_base = nullptr;
};

TEST(CallerMemoryTest, TextIsReadUpToItsTerminatorOrNotAtAll)
{
    Page page;
    ASSERT_NE(page.Base(), nullptr);
    wchar_t* tail = page.Last(3);
    tail[0] = L'a';
    tail[1] = L'b';
    tail[2] = L'\0';
    EXPECT_EQ(std::wstring(ReadCallerText(reinterpret_cast<LPARAM>(tail), 100).GetString()), L"ab");
    // The same text without its terminator ends with the region: nothing is read past it.
    tail[2] = L'c';
    EXPECT_TRUE(ReadCallerText(reinterpret_cast<LPARAM>(tail), 100).IsEmpty());
    // A text longer than the caller allows counts as none.
    page.Base()[0] = L'x';
    page.Base()[1] = L'y';
    page.Base()[2] = L'\0';
    EXPECT_TRUE(ReadCallerText(reinterpret_cast<LPARAM>(page.Base()), 2).IsEmpty());
    EXPECT_EQ(std::wstring(ReadCallerText(reinterpret_cast<LPARAM>(page.Base()), 3).GetString()), L"xy");
    EXPECT_TRUE(ReadCallerText(0, 100).IsEmpty());
    EXPECT_TRUE(ReadCallerText(0x10, 100).IsEmpty());
}

TEST(CallerMemoryTest, BufferIsWrittenWithinItsSizeAndOnlyWhenWritable)
{
    Page page;
    ASSERT_NE(page.Base(), nullptr);
    wchar_t* tail = page.Last(4);
    EXPECT_TRUE(CopyToCallerBuffer(4, reinterpret_cast<LPARAM>(tail), L"abcdef"));
    EXPECT_EQ(std::wstring(tail), L"abc");
    // A size reaching past the region is refused as a whole.
    EXPECT_FALSE(CopyToCallerBuffer(5, reinterpret_cast<LPARAM>(tail), L"abcdef"));
    EXPECT_FALSE(CopyToCallerBuffer(0, reinterpret_cast<LPARAM>(tail), L"abcdef"));
    EXPECT_FALSE(CopyToCallerBuffer(10, 0x10, L"abcdef"));
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(page.Base(), Page::kSize, PAGE_READONLY, &old));
    EXPECT_FALSE(CopyToCallerBuffer(4, reinterpret_cast<LPARAM>(tail), L"zz"));
    EXPECT_EQ(std::wstring(tail), L"abc");
}

} // namespace
