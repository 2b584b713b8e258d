#include "platform/CString.h"

#include "platform/CAppModule.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>

// Header in front of the characters. refs: number of owners; -1 while GetBuffer is outstanding (owned by one
// string, never shared). The shared empty string is a static block that is never counted or freed.
struct CString::Data
{
    volatile LONG refs;
    int length;
    int capacity; // characters, not counting the terminator

    wchar_t* Chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }
    bool IsLocked() const noexcept { return refs < 0; }
    bool IsShared() const noexcept { return refs > 1; }
};

namespace
{
struct EmptyBlock
{
    LONG refs;
    int length;
    int capacity;
    wchar_t terminator;
};

EmptyBlock g_emptyBlock = {1, 0, 0, L'\0'};

const wchar_t* Safe(const wchar_t* text) noexcept
{
    return text ? text : L"";
}

int SafeLength(const wchar_t* text) noexcept
{
    if (!text)
        return 0;
    size_t n = wcslen(text);
    return n > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(n);
}

int Sign(int value) noexcept
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

bool InSet(wchar_t ch, const wchar_t* set) noexcept
{
    return ch != L'\0' && wcschr(set, ch) != nullptr;
}

int CompareLinguistic(const wchar_t* a, const wchar_t* b, DWORD flags) noexcept
{
    int r = CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
    return r == 0 ? 0 : r - CSTR_EQUAL;
}
} // namespace

CString::Data* CString::EmptyData() noexcept
{
    // Same layout as Data: three header fields then the terminator.
    static_assert(offsetof(EmptyBlock, terminator) == sizeof(LONG) + 2 * sizeof(int));
    return reinterpret_cast<Data*>(&g_emptyBlock.refs);
}

CString::Data* CString::GetData() const noexcept
{
    return reinterpret_cast<Data*>(m_pszData) - 1;
}

CString::Data* CString::Allocate(int capacity)
{
    if (capacity < 0)
        capacity = 0;
    size_t bytes = sizeof(Data) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
    void* block = std::malloc(bytes);
    if (!block)
        throw std::bad_alloc();
    Data* data = static_cast<Data*>(block);
    data->refs = 1;
    data->length = 0;
    data->capacity = capacity;
    data->Chars()[0] = L'\0';
    return data;
}

void CString::AddRef(Data* data) noexcept
{
    if (data != EmptyData())
        InterlockedIncrement(&data->refs);
}

void CString::Release(Data* data) noexcept
{
    if (data == EmptyData())
        return;
    if (data->IsLocked() || InterlockedDecrement(&data->refs) == 0)
        std::free(data);
}

// A reference for a new owner: shared when possible, a private copy when the buffer is locked.
CString::Data* CString::Share(Data* data)
{
    if (!data->IsLocked()) {
        AddRef(data);
        return data;
    }
    Data* copy = Allocate(data->length);
    wmemcpy(copy->Chars(), data->Chars(), static_cast<size_t>(data->length) + 1);
    copy->length = data->length;
    return copy;
}

void CString::Attach(Data* data) noexcept
{
    Data* old = GetData();
    m_pszData = data->Chars();
    Release(old);
}

// Makes the buffer private and able to hold minCapacity characters, keeping the current contents.
wchar_t* CString::PrepareWrite(int minCapacity)
{
    Data* data = GetData();
    if (minCapacity < data->length)
        minCapacity = data->length;
    bool owned = data != EmptyData() && !data->IsShared();
    if (owned && data->capacity >= minCapacity)
        return m_pszData;

    int capacity = minCapacity;
    if (owned) {
        // growing in place: leave room for more appends
        int grown = data->capacity + data->capacity / 2;
        if (grown > capacity && grown < INT_MAX / 2)
            capacity = grown;
    }
    Data* fresh = Allocate(capacity);
    wmemcpy(fresh->Chars(), data->Chars(), static_cast<size_t>(data->length) + 1);
    fresh->length = data->length;
    Attach(fresh);
    return m_pszData;
}

void CString::SetLength(int length) noexcept
{
    Data* data = GetData();
    if (data == EmptyData())
        return;
    if (length < 0)
        length = 0;
    if (length > data->capacity)
        length = data->capacity;
    data->length = length;
    data->Chars()[length] = L'\0';
}

// ---- construction and assignment ----

CString::CString() noexcept : m_pszData(EmptyData()->Chars()) {}

CString::CString(const CString& other) noexcept : m_pszData(EmptyData()->Chars())
{
    try {
        m_pszData = Share(other.GetData())->Chars();
    } catch (...) {
    }
}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData)
{
    other.m_pszData = EmptyData()->Chars();
}

CString::CString(const wchar_t* text) : CString()
{
    if (text && IS_INTRESOURCE(text)) {
        LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
        return;
    }
    SetString(text);
}

CString::CString(const wchar_t* text, int length) : CString()
{
    SetString(text, length);
}

CString::CString(wchar_t ch, int repeat) : CString()
{
    if (repeat <= 0)
        return;
    wchar_t* p = PrepareWrite(repeat);
    wmemset(p, ch, static_cast<size_t>(repeat));
    SetLength(repeat);
}

CString::CString(const char* text) : CString()
{
    AssignNarrow(text, text ? static_cast<int>(strlen(text)) : 0);
}

CString::CString(const char* text, int length) : CString()
{
    AssignNarrow(text, length);
}

CString::~CString()
{
    Release(GetData());
}

CString& CString::operator=(const CString& other) noexcept
{
    if (other.m_pszData != m_pszData) {
        try {
            Attach(Share(other.GetData()));
        } catch (...) {
        }
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Attach(other.GetData());
        other.m_pszData = EmptyData()->Chars();
    }
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    SetString(text);
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    SetString(&ch, 1);
    return *this;
}

CString& CString::operator=(const char* text)
{
    AssignNarrow(text, text ? static_cast<int>(strlen(text)) : 0);
    return *this;
}

void CString::AssignNarrow(const char* text, int length)
{
    if (!text || length <= 0) {
        Empty();
        return;
    }
    int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    CString result;
    if (wide > 0) {
        wchar_t* p = result.PrepareWrite(wide);
        MultiByteToWideChar(CP_ACP, 0, text, length, p, wide);
        result.SetLength(wide);
    }
    Swap(result);
}

void CString::SetString(const wchar_t* text)
{
    SetString(text, SafeLength(text));
}

void CString::SetString(const wchar_t* text, int length)
{
    if (!text || length <= 0) {
        Empty();
        return;
    }
    // Copy into a fresh buffer first: text may point into our own characters.
    CString result;
    wchar_t* p = result.PrepareWrite(length);
    wmemcpy(p, text, static_cast<size_t>(length));
    result.SetLength(length);
    Swap(result);
}

// ---- appending ----

void CString::Append(const wchar_t* text)
{
    Append(text, SafeLength(text));
}

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return;
    int oldLength = GetLength();
    if (length > INT_MAX / 2 - oldLength)
        throw std::bad_alloc();
    // text may lie inside our own buffer, which PrepareWrite may move
    uintptr_t begin = reinterpret_cast<uintptr_t>(m_pszData);
    uintptr_t at = reinterpret_cast<uintptr_t>(text);
    bool inside = at >= begin && at <= begin + static_cast<uintptr_t>(oldLength) * sizeof(wchar_t);
    size_t offset = inside ? (at - begin) / sizeof(wchar_t) : 0;
    wchar_t* p = PrepareWrite(oldLength + length);
    const wchar_t* source = inside ? p + offset : text;
    wmemmove(p + oldLength, source, static_cast<size_t>(length));
    SetLength(oldLength + length);
}

void CString::Append(const CString& other)
{
    Append(other.m_pszData, other.GetLength());
}

void CString::AppendChar(wchar_t ch)
{
    Append(&ch, 1);
}

CString& CString::operator+=(const CString& other)
{
    Append(other);
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    AppendChar(ch);
    return *this;
}

// ---- size and access ----

int CString::GetLength() const noexcept
{
    return GetData()->length;
}

bool CString::IsEmpty() const noexcept
{
    return GetData()->length == 0;
}

void CString::Empty() noexcept
{
    Attach(EmptyData());
}

wchar_t CString::GetAt(int index) const noexcept
{
    if (index < 0 || index >= GetLength())
        return L'\0';
    return m_pszData[index];
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength())
        return;
    PrepareWrite(GetLength())[index] = ch;
}

// ---- comparison ----

int CString::Compare(const wchar_t* text) const noexcept
{
    return Sign(wcscmp(m_pszData, Safe(text)));
}

int CString::CompareNoCase(const wchar_t* text) const noexcept
{
    return Sign(_wcsicmp(m_pszData, Safe(text)));
}

int CString::Collate(const wchar_t* text) const noexcept
{
    return CompareLinguistic(m_pszData, Safe(text), 0);
}

int CString::CollateNoCase(const wchar_t* text) const noexcept
{
    return CompareLinguistic(m_pszData, Safe(text), NORM_IGNORECASE);
}

// ---- formatting ----

void CString::FormatV(const wchar_t* format, va_list args)
{
    CString result;
    result.AppendFormatV(format, args);
    Swap(result);
}

void CString::AppendFormatV(const wchar_t* format, va_list args)
{
    if (!format)
        return;
    va_list probe;
    va_copy(probe, args);
    int needed = _vscwprintf(format, probe);
    va_end(probe);
    if (needed <= 0)
        return;
    // format may point into our own characters: format into a separate string
    CString piece;
    wchar_t* p = piece.PrepareWrite(needed);
    va_list copy;
    va_copy(copy, args);
    int written = _vsnwprintf(p, static_cast<size_t>(needed) + 1, format, copy);
    va_end(copy);
    if (written < 0)
        written = needed;
    piece.SetLength(written);
    Append(piece);
}

void CString::FormatRaw(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormatRaw(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatMessageRaw(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, Safe(format), 0,
                               0, reinterpret_cast<wchar_t*>(&buffer), 0, &args);
    va_end(args);
    CString result(buffer, static_cast<int>(n));
    if (buffer)
        LocalFree(buffer);
    Swap(result);
}

// ---- searching ----

int CString::Find(wchar_t ch, int start) const noexcept
{
    int length = GetLength();
    if (start < 0 || start >= length)
        return -1;
    const wchar_t* hit = wmemchr(m_pszData + start, ch, static_cast<size_t>(length - start));
    return hit ? static_cast<int>(hit - m_pszData) : -1;
}

int CString::Find(const wchar_t* sub, int start) const noexcept
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    if (!*sub)
        return start;
    const wchar_t* hit = wcsstr(m_pszData + start, sub);
    return hit ? static_cast<int>(hit - m_pszData) : -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (m_pszData[i] == ch)
            return i;
    }
    return -1;
}

int CString::FindOneOf(const wchar_t* charSet) const noexcept
{
    if (!charSet || !*charSet)
        return -1;
    size_t n = wcscspn(m_pszData, charSet);
    return static_cast<int>(n) < GetLength() ? static_cast<int>(n) : -1;
}

// ---- extraction ----

CString CString::Mid(int first) const
{
    return Mid(first, INT_MAX);
}

CString CString::Mid(int first, int count) const
{
    int length = GetLength();
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first > length)
        first = length;
    if (count > length - first)
        count = length - first;
    if (first == 0 && count == length)
        return *this;
    return CString(m_pszData + first, count);
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    return Mid(length - count, count);
}

CString CString::SpanIncluding(const wchar_t* charSet) const
{
    return Left(static_cast<int>(wcsspn(m_pszData, Safe(charSet))));
}

CString CString::SpanExcluding(const wchar_t* charSet) const
{
    return Left(static_cast<int>(wcscspn(m_pszData, Safe(charSet))));
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    int length = GetLength();
    if (start < 0 || start >= length) {
        start = -1;
        return CString();
    }
    const wchar_t* set = Safe(delimiters);
    int from = start;
    while (from < length && InSet(m_pszData[from], set))
        ++from;
    if (from >= length) {
        start = -1;
        return CString();
    }
    int to = from;
    while (to < length && !InSet(m_pszData[to], set))
        ++to;
    start = to < length ? to + 1 : length;
    return Mid(from, to - from);
}

// ---- editing ----

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    if (oldCh == newCh || Find(oldCh) < 0)
        return 0;
    int count = 0;
    wchar_t* p = PrepareWrite(GetLength());
    for (int i = 0, n = GetLength(); i < n; ++i) {
        if (p[i] == oldCh) {
            p[i] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    int oldLength = SafeLength(oldText);
    if (oldLength == 0)
        return 0;
    int newLength = SafeLength(newText);
    CString result;
    int count = 0;
    int from = 0;
    for (int hit = Find(oldText, 0); hit >= 0; hit = Find(oldText, from)) {
        result.Append(m_pszData + from, hit - from);
        result.Append(newText, newLength);
        from = hit + oldLength;
        ++count;
    }
    if (count == 0)
        return 0;
    result.Append(m_pszData + from, GetLength() - from);
    Swap(result);
    return count;
}

int CString::Remove(wchar_t ch)
{
    if (Find(ch) < 0)
        return 0;
    int length = GetLength();
    wchar_t* p = PrepareWrite(length);
    int kept = 0;
    for (int i = 0; i < length; ++i) {
        if (p[i] != ch)
            p[kept++] = p[i];
    }
    SetLength(kept);
    return length - kept;
}

int CString::Insert(int index, wchar_t ch)
{
    wchar_t text[2] = {ch, L'\0'};
    return Insert(index, text);
}

int CString::Insert(int index, const wchar_t* text)
{
    int length = GetLength();
    if (index < 0)
        index = 0;
    if (index > length)
        index = length;
    int insertLength = SafeLength(text);
    if (insertLength == 0)
        return length;
    CString result;
    result.Preallocate(length + insertLength);
    result.Append(m_pszData, index);
    result.Append(text, insertLength);
    result.Append(m_pszData + index, length - index);
    Swap(result);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    int length = GetLength();
    if (index < 0)
        index = 0;
    if (count <= 0 || index >= length)
        return length;
    if (count > length - index)
        count = length - index;
    wchar_t* p = PrepareWrite(length);
    wmemmove(p + index, p + index + count, static_cast<size_t>(length - index - count));
    SetLength(length - count);
    return GetLength();
}

void CString::Truncate(int length)
{
    if (length < 0)
        length = 0;
    if (length >= GetLength())
        return;
    PrepareWrite(length);
    SetLength(length);
}

namespace
{
struct Whitespace
{
    bool operator()(wchar_t ch) const noexcept { return iswspace(ch) != 0; }
};
struct OneChar
{
    wchar_t c;
    bool operator()(wchar_t ch) const noexcept { return ch == c; }
};
struct CharSet
{
    const wchar_t* set;
    bool operator()(wchar_t ch) const noexcept { return InSet(ch, set); }
};

template <typename Pred>
int LeadingCount(const wchar_t* s, int length, Pred pred)
{
    int n = 0;
    while (n < length && pred(s[n]))
        ++n;
    return n;
}

template <typename Pred>
int TrailingCount(const wchar_t* s, int length, Pred pred)
{
    int n = 0;
    while (n < length && pred(s[length - 1 - n]))
        ++n;
    return n;
}
} // namespace

#define SCV_TRIM_BODY(leftSide, rightSide, pred)                                                             \
    int length = GetLength();                                                                                \
    int lead = (leftSide) ? LeadingCount(m_pszData, length, pred) : 0;                                       \
    int trail = (rightSide) ? TrailingCount(m_pszData + lead, length - lead, pred) : 0;                      \
    if (lead != 0 || trail != 0)                                                                             \
        *this = Mid(lead, length - lead - trail);                                                            \
    return *this;

CString& CString::Trim(){SCV_TRIM_BODY(true, true, Whitespace{})} CString& CString::Trim(wchar_t ch){
    SCV_TRIM_BODY(true, true, OneChar{ch})} CString& CString::Trim(const wchar_t* charSet){
    SCV_TRIM_BODY(true, true, CharSet{Safe(charSet)})} CString& CString::TrimLeft(){
    SCV_TRIM_BODY(true, false, Whitespace{})} CString& CString::TrimLeft(wchar_t ch){
    SCV_TRIM_BODY(true, false, OneChar{ch})} CString& CString::TrimLeft(const wchar_t* charSet){
    SCV_TRIM_BODY(true, false, CharSet{Safe(charSet)})} CString& CString::TrimRight(){
    SCV_TRIM_BODY(false, true, Whitespace{})} CString& CString::TrimRight(wchar_t ch){
    SCV_TRIM_BODY(false, true, OneChar{ch})} CString& CString::TrimRight(const wchar_t* charSet){
    SCV_TRIM_BODY(false, true, CharSet{Safe(charSet)})}

#undef SCV_TRIM_BODY

CString& CString::MakeLower()
{
    if (!IsEmpty())
        CharLowerBuffW(PrepareWrite(GetLength()), static_cast<DWORD>(GetLength()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!IsEmpty())
        CharUpperBuffW(PrepareWrite(GetLength()), static_cast<DWORD>(GetLength()));
    return *this;
}

CString& CString::MakeReverse()
{
    int length = GetLength();
    if (length < 2)
        return *this;
    wchar_t* p = PrepareWrite(length);
    for (int i = 0, j = length - 1; i < j; ++i, --j) {
        wchar_t t = p[i];
        p[i] = p[j];
        p[j] = t;
    }
    return *this;
}

// ---- buffer access ----

wchar_t* CString::GetBuffer()
{
    return GetBuffer(0);
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength < 0)
        minLength = 0;
    Data* data = GetData();
    if (data == EmptyData() || data->IsShared() || data->capacity < minLength) {
        // exact size: callers ask for what they mean to write
        Data* fresh = Allocate(minLength > data->length ? minLength : data->length);
        wmemcpy(fresh->Chars(), data->Chars(), static_cast<size_t>(data->length) + 1);
        fresh->length = data->length;
        Attach(fresh);
        data = fresh;
    }
    data->refs = -1;
    return m_pszData;
}

wchar_t* CString::GetBufferSetLength(int length)
{
    if (length < 0)
        length = 0;
    wchar_t* p = GetBuffer(length);
    SetLength(length);
    return p;
}

void CString::ReleaseBuffer(int newLength)
{
    Data* data = GetData();
    if (data == EmptyData())
        return;
    if (newLength < 0)
        newLength = static_cast<int>(wcsnlen(data->Chars(), static_cast<size_t>(data->capacity)));
    SetLength(newLength);
    if (data->IsLocked())
        data->refs = 1;
}

void CString::ReleaseBufferSetLength(int newLength)
{
    ReleaseBuffer(newLength < 0 ? 0 : newLength);
}

void CString::Preallocate(int length)
{
    if (length > 0)
        PrepareWrite(length);
}

void CString::FreeExtra()
{
    Data* data = GetData();
    if (data == EmptyData() || data->IsLocked() || data->capacity == data->length)
        return;
    if (data->length == 0) {
        Empty();
        return;
    }
    CString copy(m_pszData, data->length);
    Swap(copy);
}

// ---- string table ----

BOOL CString::LoadString(UINT id)
{
    return LoadString(_Module.GetResourceInstance(), id);
}

BOOL CString::LoadString(HINSTANCE instance, UINT id)
{
    // Strings are stored in blocks of 16 counted strings; block n+1 holds ids 16n..16n+15.
    HRSRC block = FindResourceW(instance, MAKEINTRESOURCEW((id >> 4) + 1), MAKEINTRESOURCEW(6));
    HGLOBAL loaded = block ? LoadResource(instance, block) : nullptr;
    const WORD* p = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!p) {
        Empty();
        return FALSE;
    }
    DWORD size = SizeofResource(instance, block) / sizeof(WORD);
    const WORD* end = p + size;
    for (UINT i = 0; i < (id & 15) && p < end; ++i)
        p += 1 + *p;
    if (p >= end || *p == 0 || p + 1 + *p > end) {
        Empty();
        return FALSE;
    }
    SetString(reinterpret_cast<const wchar_t*>(p + 1), *p);
    return TRUE;
}

// ---- free operators ----

CString operator+(const CString& a, const CString& b)
{
    CString r;
    r.Preallocate(a.GetLength() + b.GetLength());
    r.Append(a);
    r.Append(b);
    return r;
}

CString operator+(const CString& a, const wchar_t* b)
{
    CString r(a);
    r.Append(b);
    return r;
}

CString operator+(const wchar_t* a, const CString& b)
{
    CString r(a);
    r.Append(b);
    return r;
}

CString operator+(const CString& a, wchar_t b)
{
    CString r(a);
    r.AppendChar(b);
    return r;
}

CString operator+(wchar_t a, const CString& b)
{
    CString r(a, 1);
    r.Append(b);
    return r;
}

bool operator==(const CString& a, const CString& b) noexcept
{
    return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}
bool operator==(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) == 0;
}
bool operator==(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) == 0;
}
bool operator!=(const CString& a, const CString& b) noexcept
{
    return !(a == b);
}
bool operator!=(const CString& a, const wchar_t* b) noexcept
{
    return !(a == b);
}
bool operator!=(const wchar_t* a, const CString& b) noexcept
{
    return !(b == a);
}
bool operator<(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) < 0;
}
bool operator<(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) < 0;
}
bool operator<(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) > 0;
}
bool operator>(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) > 0;
}
bool operator>(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) > 0;
}
bool operator>(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) < 0;
}
bool operator<=(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) <= 0;
}
bool operator>=(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) >= 0;
}

size_t std::hash<CString>::operator()(const CString& s) const noexcept
{
    // FNV-1a over the UTF-16 units
    size_t h = sizeof(size_t) == 8 ? static_cast<size_t>(14695981039346656037ull) : 2166136261u;
    const size_t prime = sizeof(size_t) == 8 ? static_cast<size_t>(1099511628211ull) : 16777619u;
    for (const wchar_t* p = s.GetString(); *p; ++p) {
        h ^= static_cast<size_t>(*p);
        h *= prime;
    }
    return h;
}
