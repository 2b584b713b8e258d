#pragma once
// Reference-counted, copy-on-write UTF-16 string.
//
// Copies share one buffer until one of them is modified. GetBuffer gives a writable buffer that belongs to this
// string alone until ReleaseBuffer (a copy taken in between gets its own characters).
//
// Format/AppendFormat follow the Microsoft C runtime: in a wide format %s and %c take wide arguments, %S and %C
// narrow ones; %I64d, %lld, %p, width and precision as usual. CString arguments may be passed directly (they are
// passed on as their character pointer); other class types are refused at compile time.
//
// Out-of-range indexes and counts are clamped or ignored, never fatal. A null character pointer reads as "".

#include <windows.h>

#include <cstdarg>
#include <climits>
#include <concepts>
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

class CString
{
public:
    CString() noexcept;
    CString(const CString& other) noexcept;
    CString(CString&& other) noexcept;
    // A pointer made with MAKEINTRESOURCE loads that string from the module's string table.
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int repeat = 1);
    // Narrow text in the ANSI code page.
    CString(const char* text);
    CString(const char* text, int length);
    ~CString();

    CString& operator=(const CString& other) noexcept;
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);
    CString& operator=(wchar_t ch);
    CString& operator=(const char* text);

    CString& operator+=(const CString& other);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // Size and access
    int GetLength() const noexcept;
    bool IsEmpty() const noexcept;
    void Empty() noexcept;
    const wchar_t* GetString() const noexcept { return m_pszData; }
    operator const wchar_t*() const noexcept { return m_pszData; }
    wchar_t GetAt(int index) const noexcept; // 0 when out of range
    void SetAt(int index, wchar_t ch);       // ignored when out of range
    wchar_t operator[](std::integral auto index) const noexcept
    {
        if constexpr (std::is_unsigned_v<decltype(index)>) {
            if (index > static_cast<decltype(index)>(INT_MAX))
                return L'\0';
        } else {
            if (index > INT_MAX || index < 0)
                return L'\0';
        }
        return GetAt(static_cast<int>(index));
    }

    void SetString(const wchar_t* text);
    void SetString(const wchar_t* text, int length);
    void Append(const wchar_t* text);
    void Append(const wchar_t* text, int length);
    void Append(const CString& other);
    void AppendChar(wchar_t ch);

    // Comparison: <0, 0, >0
    int Compare(const wchar_t* text) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;
    int Collate(const wchar_t* text) const noexcept;
    int CollateNoCase(const wchar_t* text) const noexcept;

    // Formatting (see the note at the top)
    template <typename... Args>
    void Format(const wchar_t* format, const Args&... args)
    {
        FormatRaw(format, PassArg(args)...);
    }
    template <typename... Args>
    void Format(UINT formatId, const Args&... args)
    {
        CString format;
        format.LoadString(formatId);
        FormatRaw(format.GetString(), PassArg(args)...);
    }
    template <typename... Args>
    void AppendFormat(const wchar_t* format, const Args&... args)
    {
        AppendFormatRaw(format, PassArg(args)...);
    }
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);
    // FormatMessage-style inserts (%1, %2!d!, ...), arguments as for Format.
    template <typename... Args>
    void FormatMessage(const wchar_t* format, const Args&... args)
    {
        FormatMessageRaw(format, PassArg(args)...);
    }

    // Searching: index or -1
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* sub, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;
    int FindOneOf(const wchar_t* charSet) const noexcept;

    // Extraction
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const wchar_t* charSet) const;
    CString SpanExcluding(const wchar_t* charSet) const;
    // Next token after skipping delimiters; start becomes -1 (and the result empty) when there is none left.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    // Editing
    int Replace(wchar_t oldCh, wchar_t newCh);                   // number replaced
    int Replace(const wchar_t* oldText, const wchar_t* newText); // number replaced
    int Remove(wchar_t ch);                                      // number removed
    int Insert(int index, wchar_t ch);                           // new length
    int Insert(int index, const wchar_t* text);                  // new length
    int Delete(int index, int count = 1);                        // new length
    void Truncate(int length);

    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* charSet);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* charSet);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* charSet);

    CString& MakeLower();
    CString& MakeUpper();
    CString& MakeReverse();

    // Direct buffer access
    wchar_t* GetBuffer();
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void ReleaseBufferSetLength(int newLength);
    void Preallocate(int length);
    void FreeExtra();

    // String table
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE instance, UINT id);

private:
    struct Data;

    wchar_t* m_pszData;

    Data* GetData() const noexcept;
    static Data* EmptyData() noexcept;
    static Data* Allocate(int capacity);
    static void AddRef(Data* data) noexcept;
    static void Release(Data* data) noexcept;
    static Data* Share(Data* data);

    void Attach(Data* data) noexcept;
    wchar_t* PrepareWrite(int minCapacity);
    void SetLength(int length) noexcept;
    void AssignNarrow(const char* text, int length);
    void Swap(CString& other) noexcept { std::swap(m_pszData, other.m_pszData); }

    void FormatRaw(const wchar_t* format, ...);
    void AppendFormatRaw(const wchar_t* format, ...);
    void FormatMessageRaw(const wchar_t* format, ...);

    static const wchar_t* PassArg(const CString& s) noexcept { return s.GetString(); }
    template <typename T>
    static const T& PassArg(const T& value) noexcept
    {
        static_assert(std::is_trivially_copyable_v<T> || std::is_array_v<T>,
                      "only plain values, pointers and CString can be formatted");
        return value;
    }
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

bool operator==(const CString& a, const CString& b) noexcept;
bool operator==(const CString& a, const wchar_t* b) noexcept;
bool operator==(const wchar_t* a, const CString& b) noexcept;
bool operator!=(const CString& a, const CString& b) noexcept;
bool operator!=(const CString& a, const wchar_t* b) noexcept;
bool operator!=(const wchar_t* a, const CString& b) noexcept;
bool operator<(const CString& a, const CString& b) noexcept;
bool operator<(const CString& a, const wchar_t* b) noexcept;
bool operator<(const wchar_t* a, const CString& b) noexcept;
bool operator>(const CString& a, const CString& b) noexcept;
bool operator>(const CString& a, const wchar_t* b) noexcept;
bool operator>(const wchar_t* a, const CString& b) noexcept;
bool operator<=(const CString& a, const CString& b) noexcept;
bool operator>=(const CString& a, const CString& b) noexcept;

template <>
struct std::hash<CString>
{
    size_t operator()(const CString& s) const noexcept;
};
