// test-sources: PlatformTests.rc
#include "platform/CString.h"
#include "PlatformTestsResource.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

namespace
{
std::wstring W(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}
} // namespace

TEST(CStringSharing, CopySharesUntilOneIsModified)
{
    CString a(L"shared text");
    CString b(a);
    CString c;
    c = b;
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());

    b.SetAt(0, L'S');
    EXPECT_NE(a.GetString(), b.GetString());
    EXPECT_EQ(W(a), L"shared text");
    EXPECT_EQ(W(b), L"Shared text");
    EXPECT_EQ(W(c), L"shared text");

    c += L"!";
    EXPECT_EQ(W(a), L"shared text");
    EXPECT_EQ(W(c), L"shared text!");

    // every mutating operation must leave the other owner alone
    CString d(a);
    d.Replace(L's', L'z');
    d.MakeUpper();
    d.Delete(0);
    d.Insert(0, L"<");
    d.Trim(L'<');
    EXPECT_EQ(W(a), L"shared text");
}

TEST(CStringSharing, GetBufferDetachesAndLocks)
{
    CString a(L"abc");
    CString b(a);
    wchar_t* p = a.GetBuffer(10);
    EXPECT_NE(p, b.GetString());
    // a copy taken while the buffer is out gets its own characters
    CString during(a);
    EXPECT_NE(during.GetString(), p);
    wcscpy(p, L"written");
    a.ReleaseBuffer();
    EXPECT_EQ(W(a), L"written");
    EXPECT_EQ(a.GetLength(), 7);
    EXPECT_EQ(W(b), L"abc");
    EXPECT_EQ(W(during), L"abc");

    // after release it shares again
    CString e(a);
    EXPECT_EQ(e.GetString(), a.GetString());

    wchar_t* q = a.GetBufferSetLength(3);
    EXPECT_EQ(a.GetLength(), 3);
    q[0] = L'x';
    a.ReleaseBuffer(2);
    EXPECT_EQ(W(a), L"xr");
    EXPECT_EQ(W(e), L"written");

    CString empty;
    wchar_t* r = empty.GetBuffer(4);
    wcscpy(r, L"four");
    empty.ReleaseBuffer();
    EXPECT_EQ(W(empty), L"four");

    CString f(L"abcdef");
    f.GetBuffer();
    f.ReleaseBuffer(100); // larger than the buffer: clamped
    EXPECT_EQ(W(f), L"abcdef");
}

TEST(CStringSharing, ConcurrentCopiesKeepCountRight)
{
    CString source(L"a string copied from many threads at once");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&source] {
            for (int i = 0; i < 20000; ++i) {
                CString copy(source);
                CString again = copy;
                again.Empty();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    CString last(source);
    last.SetAt(0, L'A');
    EXPECT_EQ(W(source), L"a string copied from many threads at once");
}

TEST(CStringBasics, ConstructionAndConcatenation)
{
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_EQ(W(CString(static_cast<const wchar_t*>(nullptr))), L"");
    EXPECT_EQ(W(CString(L"abcdef", 3)), L"abc");
    EXPECT_EQ(W(CString(L'-', 4)), L"----");
    EXPECT_EQ(W(CString(L'-', -2)), L"");
    EXPECT_EQ(W(CString("narrow")), L"narrow");
    EXPECT_EQ(W(CString("narrow", 3)), L"nar");

    CString s = L"a";
    s = s + L"b" + CString(L"c") + L'd';
    s = L'<' + s + L'>';
    s = L"[" + s;
    EXPECT_EQ(W(s), L"[<abcd>");
    s += s; // appending itself
    EXPECT_EQ(W(s), L"[<abcd>[<abcd>");
    s = s.GetString() + 2; // assigning from inside itself
    EXPECT_EQ(W(s), L"abcd>[<abcd>");

    CString grow;
    for (int i = 0; i < 1000; ++i)
        grow += L'x';
    EXPECT_EQ(grow.GetLength(), 1000);

    EXPECT_EQ(s.GetAt(0), L'a');
    EXPECT_EQ(s[1], L'b');
    EXPECT_EQ(s[size_t{2}], L'c');
    EXPECT_EQ(s.GetAt(-1), L'\0');
    EXPECT_EQ(s.GetAt(1000), L'\0');
    s.SetAt(1000, L'z'); // ignored
    s.SetAt(-1, L'z');
    EXPECT_EQ(W(s), L"abcd>[<abcd>");
}

TEST(CStringBasics, Comparisons)
{
    CString a(L"Apple"), b(L"apple");
    EXPECT_TRUE(a == L"Apple");
    EXPECT_TRUE(L"Apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_EQ(a.Compare(L"Apple"), 0);
    EXPECT_LT(a.Compare(L"apple"), 0);
    EXPECT_EQ(a.CompareNoCase(L"APPLE"), 0);
    EXPECT_GT(a.CompareNoCase(L"ab"), 0);
    EXPECT_EQ(a.Compare(nullptr), 1);
    EXPECT_EQ(CString().Compare(nullptr), 0);
    EXPECT_EQ(a.CollateNoCase(L"apple"), 0);
    EXPECT_TRUE(CString(L"ab", 2) == CString(L"ab"));
    EXPECT_EQ(std::hash<CString>()(a), std::hash<CString>()(CString(L"Apple")));
}

TEST(CStringFormat, MicrosoftConversions)
{
    struct Case
    {
        std::wstring expected;
        CString actual;
    };
    CString s;
    const Case cases[] = {
        {L"wide: text",
         [] {
             CString r;
             r.Format(L"wide: %s", L"text");
             return r;
         }()},
        {L"narrow: text",
         [] {
             CString r;
             r.Format(L"narrow: %S", "text");
             return r;
         }()},
        {L"wide %ls too",
         [] {
             CString r;
             r.Format(L"wide %ls too", L"%ls");
             return r;
         }()},
        {L"-42 42 2a 2A",
         [] {
             CString r;
             r.Format(L"%d %u %x %X", -42, 42u, 42, 42);
             return r;
         }()},
        {L"0000BEEF",
         [] {
             CString r;
             r.Format(L"%08X", 0xBEEFu);
             return r;
         }()},
        {L"[   12][12   ]",
         [] {
             CString r;
             r.Format(L"[%5d][%-5d]", 12, 12);
             return r;
         }()},
        {L"[ab        ]",
         [] {
             CString r;
             r.Format(L"[%-10s]", L"ab");
             return r;
         }()},
        {L"[      ab]",
         [] {
             CString r;
             r.Format(L"[%8s]", L"ab");
             return r;
         }()},
        {L"abc",
         [] {
             CString r;
             r.Format(L"%.3s", L"abcdef");
             return r;
         }()},
        {L"ab",
         [] {
             CString r;
             r.Format(L"%.*s", 2, L"abcdef");
             return r;
         }()},
        {L"3.14",
         [] {
             CString r;
             r.Format(L"%.2f", 3.14159);
             return r;
         }()},
        {L"  2.50",
         [] {
             CString r;
             r.Format(L"%6.2f", 2.5f);
             return r;
         }()},
        {L"-9000000000 9000000000",
         [] {
             CString r;
             r.Format(L"%I64d %lld", -9000000000LL, 9000000000LL);
             return r;
         }()},
        {L"70000 x",
         [] {
             CString r;
             r.Format(L"%ld %c", 70000L, L'x');
             return r;
         }()},
        {L"100%",
         [] {
             CString r;
             r.Format(L"%d%%", 100);
             return r;
         }()},
        {L"\x00e9t\x00e9",
         [] {
             CString r;
             r.Format(L"%s", L"\x00e9t\x00e9");
             return r;
         }()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(c.actual), c.expected);

    s.Format(L"%p", reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(s.GetLength(), static_cast<int>(2 * sizeof(void*)));
    EXPECT_EQ(W(s.Right(4)), L"1234");
}

TEST(CStringFormat, CStringArgumentsAppendAndLongOutput)
{
    CString name(L"world");
    CString s;
    s.Format(L"hello %s (%d)", name, name.GetLength());
    EXPECT_EQ(W(s), L"hello world (5)");

    s.Format(L"%s+%s", s, s); // its own text as argument
    EXPECT_EQ(W(s), L"hello world (5)+hello world (5)");

    s = L"n=";
    s.AppendFormat(L"%d", 7);
    s.AppendFormat(L"/%s", CString(L"x"));
    EXPECT_EQ(W(s), L"n=7/x");

    CString big(L'q', 5000);
    s.Format(L"<%s>", big);
    EXPECT_EQ(s.GetLength(), 5002);

    s.Format(L"");
    EXPECT_TRUE(s.IsEmpty());
    s.Format(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(s.IsEmpty());

    s.FormatMessage(L"%1 and %2!d!", L"one", 2);
    EXPECT_EQ(W(s), L"one and 2");
}

TEST(CStringSearch, FindAndExtractClampOutOfRange)
{
    const CString s(L"abcabc");
    EXPECT_EQ(s.Find(L'b'), 1);
    EXPECT_EQ(s.Find(L'b', 2), 4);
    EXPECT_EQ(s.Find(L'b', 5), -1);
    EXPECT_EQ(s.Find(L'b', 100), -1);
    EXPECT_EQ(s.Find(L'b', -3), -1);
    EXPECT_EQ(s.Find(L"ca"), 2);
    EXPECT_EQ(s.Find(L"abc", 1), 3);
    EXPECT_EQ(s.Find(L"abcd"), -1);
    EXPECT_EQ(s.Find(L"", 6), 6);
    EXPECT_EQ(s.Find(L"", 7), -1);
    EXPECT_EQ(s.Find(static_cast<const wchar_t*>(nullptr)), -1);
    EXPECT_EQ(s.ReverseFind(L'a'), 3);
    EXPECT_EQ(s.ReverseFind(L'z'), -1);
    EXPECT_EQ(s.FindOneOf(L"xc"), 2);
    EXPECT_EQ(s.FindOneOf(L"xyz"), -1);
    EXPECT_EQ(s.FindOneOf(L""), -1);

    struct Case
    {
        CString actual;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {s.Mid(2), L"cabc"},
        {s.Mid(2, 2), L"ca"},
        {s.Mid(-5, 3), L"abc"},
        {s.Mid(4, 100), L"bc"},
        {s.Mid(6), L""},
        {s.Mid(100), L""},
        {s.Mid(1, -1), L""},
        {s.Mid(3, INT_MAX), L"abc"},
        {s.Left(2), L"ab"},
        {s.Left(-1), L""},
        {s.Left(100), L"abcabc"},
        {s.Right(2), L"bc"},
        {s.Right(-1), L""},
        {s.Right(100), L"abcabc"},
        {s.SpanIncluding(L"ab"), L"ab"},
        {s.SpanExcluding(L"c"), L"ab"},
        {s.SpanIncluding(L"x"), L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(c.actual), c.expected);
    EXPECT_EQ(s.Mid(0).GetString(), s.GetString()); // whole string: shared, not copied
}

TEST(CStringSearch, Tokenize)
{
    CString s(L";;alpha; beta;;gamma;");
    std::vector<std::wstring> tokens;
    int pos = 0;
    for (CString t = s.Tokenize(L"; ", pos); pos >= 0; t = s.Tokenize(L"; ", pos))
        tokens.push_back(W(t));
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}));

    pos = 0;
    EXPECT_EQ(W(CString(L"whole").Tokenize(L"", pos)), L"whole");
    EXPECT_EQ(W(CString(L"whole").Tokenize(L"", pos)), L"");
    EXPECT_EQ(pos, -1);
    pos = 50;
    EXPECT_TRUE(s.Tokenize(L";", pos).IsEmpty());
    EXPECT_EQ(pos, -1);
}

TEST(CStringEdit, ReplaceRemoveInsertDelete)
{
    CString s(L"a-b-c");
    EXPECT_EQ(s.Replace(L'-', L'+'), 2);
    EXPECT_EQ(W(s), L"a+b+c");
    EXPECT_EQ(s.Replace(L'x', L'y'), 0);
    EXPECT_EQ(s.Replace(L"+", L"::"), 2);
    EXPECT_EQ(W(s), L"a::b::c");
    EXPECT_EQ(s.Replace(L"::", L""), 2);
    EXPECT_EQ(W(s), L"abc");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(s.Replace(static_cast<const wchar_t*>(nullptr), L"x"), 0);
    CString overlap(L"aaaa");
    EXPECT_EQ(overlap.Replace(L"aa", L"a"), 2);
    EXPECT_EQ(W(overlap), L"aa");
    CString grows(L"xx");
    EXPECT_EQ(grows.Replace(L"x", L"xyx"), 2);
    EXPECT_EQ(W(grows), L"xyxxyx");

    CString r(L"banana");
    EXPECT_EQ(r.Remove(L'a'), 3);
    EXPECT_EQ(W(r), L"bnn");
    EXPECT_EQ(r.Remove(L'z'), 0);

    CString i(L"ac");
    EXPECT_EQ(i.Insert(1, L'b'), 3);
    EXPECT_EQ(i.Insert(-4, L"<"), 4);
    EXPECT_EQ(i.Insert(99, L">"), 5);
    EXPECT_EQ(W(i), L"<abc>");
    EXPECT_EQ(i.Insert(2, static_cast<const wchar_t*>(nullptr)), 5);

    CString d(L"0123456789");
    EXPECT_EQ(d.Delete(8, 100), 8);
    EXPECT_EQ(d.Delete(-3, 2), 6);
    EXPECT_EQ(W(d), L"234567");
    EXPECT_EQ(d.Delete(50, 1), 6);
    EXPECT_EQ(d.Delete(1, 0), 6);
    EXPECT_EQ(d.Delete(1), 5);
    EXPECT_EQ(W(d), L"24567");
    d.Truncate(2);
    EXPECT_EQ(W(d), L"24");
    d.Truncate(-1);
    EXPECT_TRUE(d.IsEmpty());
}

TEST(CStringEdit, TrimAndCase)
{
    struct Case
    {
        CString actual;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {CString(L" \t x y \r\n").Trim(), L"x y"},
        {CString(L" \t x y \r\n").TrimLeft(), L"x y \r\n"},
        {CString(L" \t x y \r\n").TrimRight(), L" \t x y"},
        {CString(L"   ").Trim(), L""},
        {CString().Trim(), L""},
        {CString(L"xxaxx").Trim(L'x'), L"a"},
        {CString(L"xxaxx").TrimLeft(L'x'), L"axx"},
        {CString(L"xxaxx").TrimRight(L'x'), L"xxa"},
        {CString(L"<[a]>").Trim(L"<>[]"), L"a"},
        {CString(L"<[a]>").TrimLeft(L"<"), L"[a]>"},
        {CString(L"<[a]>").TrimRight(L"]>"), L"<[a"},
        {CString(L"abc").Trim(L""), L"abc"},
        {CString(L"MiXeD \x00c9").MakeLower(), L"mixed \x00e9"},
        {CString(L"MiXeD \x00e9").MakeUpper(), L"MIXED \x00c9"},
        {CString(L"abc").MakeReverse(), L"cba"},
        {CString(L"").MakeReverse(), L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(c.actual), c.expected);
}

TEST(CStringResources, LoadStringFromStringTable)
{
    CString s;
    EXPECT_TRUE(s.LoadString(IDS_TEST_HELLO));
    EXPECT_EQ(W(s), L"Hello \x00e9t\x00e9");
    EXPECT_TRUE(s.LoadString(IDS_TEST_BLOCK_END));
    EXPECT_EQ(W(s), L"last of the block");
    EXPECT_FALSE(s.LoadString(IDS_TEST_MISSING));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_FALSE(s.LoadString(IDS_TEST_HELLO + 1000));

    CString byId(MAKEINTRESOURCEW(IDS_TEST_HELLO));
    EXPECT_EQ(W(byId), L"Hello \x00e9t\x00e9");

    CString f;
    f.Format(IDS_TEST_FORMAT, 3, L"box");
    EXPECT_EQ(W(f), L"3 items in box");
}
