#include "common/CodePageDetection.h"

#include "common/ComPtr.h"

#include <mlang.h>
#include <objbase.h>

#include "common/TextConversion.h"

namespace
{
// Not every import library carries these two identifiers.
const CLSID kClsidMultiLanguage = {
    0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
const IID kIidMultiLanguage2 = {0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

const int kMaxCandidates = 5;

struct CharsetRow
{
    const char* name;
    int codePage;
};

// Searched in order: the first row with a code page names it.
const CharsetRow kCharsets[] = {
    {"utf-8", 65001},
    {"windows-1251", 1251},
    {"windows-1250", 1250},
    {"iso-8859-2", 28592},
    {"windows-1256", 1256},
    {"iso-8859-5", 28595},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"windows-1253", 1253},
    {"iso-8859-8-i", 38598},
    {"iso-8859-8", 28598},
    {"asmo-708", 708},
    {"dos-720", 720},
    {"iso-8859-6", 28596},
    {"x-mac-arabic", 10004},
    {"ibm775", 775},
    {"iso-8859-4", 28594},
    {"windows-1257", 1257},
    {"ibm852", 852},
    {"x-mac-ce", 10029},
    {"euc-cn", 51936},
    {"gb2312", 936},
    {"hz-gb-2312", 52936},
    {"x-mac-chinesesimp", 10008},
    {"big5", 950},
    {"x-chinese-cns", 20000},
    {"x-chinese-eten", 20002},
    {"x-mac-chinesetrad", 10002},
    {"cp866", 866},
    {"x-mac-cyrillic", 10007},
    {"x-europa", 29001},
    {"x-ia5-german", 20106},
    {"ibm737", 737},
    {"iso-8859-7", 28597},
    {"x-mac-greek", 10006},
    {"ibm869", 869},
    {"dos-862", 862},
    {"x-mac-hebrew", 10005},
    {"windows-1255", 1255},
    {"x-ebcdic-arabic", 20420},
    {"x-ebcdic-cyrillicrussian", 20880},
    {"x-ebcdic-cyrillicserbianbulgarian", 21025},
    {"x-ebcdic-denmarknorway", 20277},
    {"x-ebcdic-denmarknorway-euro", 1142},
    {"x-ebcdic-finlandsweden", 20278},
    {"x-ebcdic-finlandsweden-euro", 1143},
    {"x-ebcdic-finlandsweden-euro", 1143},
    {"x-ebcdic-france-euro", 1147},
    {"x-ebcdic-germany", 20273},
    {"x-ebcdic-germany-euro", 1141},
    {"x-ebcdic-greekmodern", 875},
    {"x-ebcdic-greek", 20423},
    {"x-ebcdic-hebrew", 20424},
    {"x-ebcdic-icelandic", 20871},
    {"x-ebcdic-icelandic-euro", 1149},
    {"x-ebcdic-international-euro", 1148},
    {"x-ebcdic-italy", 20280},
    {"x-ebcdic-italy-euro", 1144},
    {"x-ebcdic-japaneseandkana", 50930},
    {"x-ebcdic-japaneseandjapaneselatin", 50939},
    {"x-ebcdic-japaneseanduscanada", 50931},
    {"x-ebcdic-japanesekatakana", 20290},
    {"x-ebcdic-koreanandkoreanextended", 50933},
    {"x-ebcdic-koreanextended", 20833},
    {"cp870", 870},
    {"x-ebcdic-simplifiedchinese", 50935},
    {"x-ebcdic-spain", 20284},
    {"x-ebcdic-spain-euro", 1145},
    {"x-ebcdic-thai", 20838},
    {"x-ebcdic-traditionalchinese", 50937},
    {"cp1026", 1026},
    {"x-ebcdic-turkish", 20905},
    {"x-ebcdic-uk", 20285},
    {"x-ebcdic-uk-euro", 1146},
    {"ebcdic-cp-us", 37},
    {"x-ebcdic-cp-us-euro", 1140},
    {"ibm861", 861},
    {"x-mac-icelandic", 10079},
    {"x-iscii-as", 57006},
    {"x-iscii-be", 57003},
    {"x-iscii-de", 57002},
    {"x-iscii-gu", 57010},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-or", 57007},
    {"x-iscii-pa", 57011},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"euc-jp", 51932},
    {"iso-2022-jp", 50220},
    {"iso-2022-jp", 50222},
    {"csiso2022jp", 50221},
    {"x-mac-japanese", 10001},
    {"shift_jis", 932},
    {"ks_c_5601-1987", 949},
    {"euc-kr", 51949},
    {"iso-2022-kr", 50225},
    {"johab", 1361},
    {"x-mac-korean", 10003},
    {"iso-8859-3", 28593},
    {"iso-8859-15", 28605},
    {"x-ia5-norwegian", 20108},
    {"ibm437", 437},
    {"x-ia5-swedish", 20107},
    {"windows-874", 874},
    {"ibm857", 857},
    {"iso-8859-9", 28599},
    {"x-mac-turkish", 10081},
    {"windows-1254", 1254},
    {"unicode", 1200},
    {"unicodefffe", 1201},
    {"utf-7", 65000},
    {"us-ascii", 20127},
    {"windows-1258", 1258},
    {"ibm850", 850},
    {"x-ia5", 20105},
    {"macintosh", 10000},
    {"windows-1252", 1252},
    {"iso-8859-1", 1252},
};

// Length of the UTF-8 sequence starting at text[0] when it is well formed
// (no overlong forms, surrogates or values above U+10FFFF); 0 otherwise.
int Utf8SequenceLength(const unsigned char* text, int available)
{
    const unsigned char lead = text[0];
    int length = 0;
    unsigned int value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (text[i] & 0x3F);
    }
    const unsigned int minimum = length == 3 ? 0x800 : (length == 4 ? 0x10000 : 0x80);
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

// 65001 for well-formed UTF-8 with at least one multi-byte sequence, 20127 for
// 7-bit text, 0 for anything else.
int ClassifyUtf8OrAscii(const unsigned char* text, int size)
{
    bool multiByte = false;
    for (int i = 0; i < size;) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = Utf8SequenceLength(text + i, size - i);
        if (length == 0)
            return 0;
        multiByte = true;
        i += length;
    }
    return multiByte ? 65001 : 20127;
}

// UTF-16 without a byte order mark shows itself by zero bytes (the high
// halves of Latin characters, blanks and line breaks), which 8-bit text does
// not contain: the side with more zeros is the high byte.
int ClassifyUtf16WithoutMark(const unsigned char* text, int size)
{
    if (size < 2 || size % 2 != 0)
        return 0;
    int evenZeros = 0;
    int oddZeros = 0;
    for (int i = 0; i < size; ++i) {
        if (text[i] == 0)
            (i % 2 == 0 ? evenZeros : oddZeros)++;
    }
    if (oddZeros > evenZeros)
        return 1200;
    if (evenZeros > oddZeros)
        return 1201;
    return 0;
}

// Cyrillic windows-1251 text is mostly letters 0xC0..0xFF (and Ё ё at 0xA8,
// 0xB8) with few Latin letters; anything else 8-bit counts as Western.
int ClassifyEightBit(const unsigned char* text, int size)
{
    int latinLetters = 0;
    int highBytes = 0;
    int cyrillicLetters = 0;
    for (int i = 0; i < size; ++i) {
        const unsigned char c = text[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            ++latinLetters;
        if (c < 0x80)
            continue;
        ++highBytes;
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8)
            ++cyrillicLetters;
    }
    if (highBytes > latinLetters && cyrillicLetters * 10 >= highBytes * 9)
        return 1251;
    return 1252;
}

int DetectBuiltInCodePage(const unsigned char* text, int size)
{
    if (size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF)
        return 65001;
    if (size >= 2 && text[0] == 0xFF && text[1] == 0xFE)
        return 1200;
    if (size >= 2 && text[0] == 0xFE && text[1] == 0xFF)
        return 1201;
    if (const int utf16 = ClassifyUtf16WithoutMark(text, size))
        return utf16;
    if (const int utf8 = ClassifyUtf8OrAscii(text, size))
        return utf8;
    return ClassifyEightBit(text, size);
}
} // namespace

int PickBestCodePage(const CodePageCandidate* candidates, int count)
{
    int best = -1;
    long long bestScore = 0;
    for (int i = 0; candidates && i < count; ++i) {
        const CodePageCandidate& candidate = candidates[i];
        const long long score = candidate.docPercent != 0
                                    ? static_cast<long long>(candidate.confidence) * candidate.docPercent
                                    : candidate.confidence;
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(candidate.codePage);
        }
    }
    return best;
}

const char* FindCharsetName(int codePage)
{
    for (const CharsetRow& row : kCharsets) {
        if (row.codePage == codePage)
            return row.name;
    }
    return nullptr;
}

HRESULT DetectCodePageCandidatesWithMLang(const void* bytes, int size, CodePageCandidate* candidates,
                                          int capacity, int& count)
{
    count = 0;
    if (!bytes || size <= 0 || !candidates || capacity <= 0)
        return E_INVALIDARG;
    ComPtr<IMultiLanguage2> language;
    HRESULT result = ::CoCreateInstance(kClsidMultiLanguage, nullptr, CLSCTX_INPROC_SERVER,
                                        kIidMultiLanguage2, language.OutVoid());
    if (FAILED(result))
        return result;

    DetectEncodingInfo found[kMaxCandidates] = {};
    INT foundCount = capacity < kMaxCandidates ? capacity : kMaxCandidates;
    INT scanned = size;
    result = language->DetectInputCodepage(MLDETECTCP_HTML, 0, static_cast<CHAR*>(const_cast<void*>(bytes)),
                                           &scanned, found, &foundCount);
    if (FAILED(result))
        return result;
    for (int i = 0; i < foundCount && i < capacity && i < kMaxCandidates; ++i) {
        candidates[i].codePage = found[i].nCodePage;
        candidates[i].docPercent = found[i].nDocPercent;
        candidates[i].confidence = found[i].nConfidence;
        ++count;
    }
    return result;
}

int DetectCodePageCandidatesBuiltIn(const void* bytes, int size, CodePageCandidate* candidates, int capacity)
{
    if (!bytes || size <= 0 || !candidates || capacity <= 0)
        return 0;
    candidates[0].codePage =
        static_cast<UINT>(DetectBuiltInCodePage(static_cast<const unsigned char*>(bytes), size));
    candidates[0].docPercent = 100;
    candidates[0].confidence = 100;
    return 1;
}

bool DetectCharset(const void* bytes, int size, CString* outName, int* outCodePage)
{
    if (!bytes || size <= 0)
        return false;
    CodePageCandidate candidates[kMaxCandidates];
    int count = 0;
    // MLang refusing, or answering without a single candidate, leaves the answer to the built-in detector.
    if (FAILED(DetectCodePageCandidatesWithMLang(bytes, size, candidates, kMaxCandidates, count)) ||
        count == 0)
        count = DetectCodePageCandidatesBuiltIn(bytes, size, candidates, kMaxCandidates);

    const int codePage = PickBestCodePage(candidates, count);
    const char* name = FindCharsetName(codePage);
    if (!name)
        return false;
    if (outName)
        *outName = MultiByteToWideString(name, CP_ACP);
    if (outCodePage)
        *outCodePage = codePage;
    return true;
}

int DetectTextCodePage(const void* bytes, int size)
{
    int codePage = 0;
    return DetectCharset(bytes, size, nullptr, &codePage) ? codePage : 0;
}
