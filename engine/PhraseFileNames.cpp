#include "engine/PhraseFileNames.h"

#include "common/PathFunctions.h"
#include "engine/PhraseFile.h"

namespace
{

constexpr wchar_t kReplacedCharacters[] = L"?:\\\"!/<>.\t\n*|{}=()'";

bool IsReplacedCharacter(wchar_t ch, bool replaceBlanks)
{
    if (ch < 32) {
        return true;
    }
    if (ch == L' ') {
        return replaceBlanks;
    }
    for (const wchar_t* p = kReplacedCharacters; *p != L'\0'; ++p) {
        if (*p == ch) {
            return true;
        }
    }
    return false;
}

void ShortenRuns(CString& text, wchar_t ch)
{
    const wchar_t three[] = {ch, ch, ch, L'\0'};
    const wchar_t two[] = {ch, ch, L'\0'};
    const wchar_t one[] = {ch, L'\0'};
    text.Replace(three, one);
    text.Replace(two, one);
}

} // namespace

CString SanitizeFileNamePart(const CString& text, bool replaceBlanks, const wchar_t* replacement)
{
    CString result = text;
    result.Trim(L" \t");
    const int lineFeed = result.Find(L'\n', 1);
    if (lineFeed > 0) {
        result.Truncate(lineFeed);
    }
    const bool drop = replacement == nullptr || *replacement == L'\0';
    CString cleaned;
    for (int i = 0; i < result.GetLength(); ++i) {
        if (!IsReplacedCharacter(result[i], replaceBlanks)) {
            cleaned += result[i];
        } else if (!drop) {
            cleaned += *replacement;
        }
    }
    ShortenRuns(cleaned, L'_');
    cleaned.Trim(L'_');
    return cleaned;
}

CString MakePhraseFileName(const CString& title, int number, bool addExtension, bool blanksToUnderscores)
{
    CString name = SanitizeFileNamePart(title, blanksToUnderscores, L"_");
    if (blanksToUnderscores) {
        name.Replace(L"   ", L"_");
        name.Replace(L"  ", L"_");
        name.Replace(L" ", L"_");
        ShortenRuns(name, L'_');
    }
    if (IsReservedDeviceName(name)) {
        name += L"_";
    }
    if (number > 1) {
        name.AppendFormat(L"%d", number);
    }
    if (addExtension) {
        name += kPhraseFileExtension;
    }
    return name;
}

CString MakeUniquePhrasePath(const CString& title, const CString& folder, bool addExtension,
                             bool blanksToUnderscores, bool /*asFile*/, const PathTakenFunction& isTaken)
{
    const CString base = AddTrailingBackslash(folder);
    for (int number = 1;; ++number) {
        const CString candidate = base + MakePhraseFileName(title, number, addExtension, blanksToUnderscores);
        // A file and a directory cannot share a name, whichever of the two is wanted.
        const bool exists = FileExists(candidate) || FolderExists(candidate);
        if (!exists && !(isTaken && isTaken(candidate))) {
            return candidate;
        }
    }
}

bool IsReservedDeviceName(const CString& stem)
{
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* name : kNames) {
        if (stem.CompareNoCase(name) == 0) {
            return true;
        }
    }
    if (stem.GetLength() != 4 || stem[3] < L'1' || stem[3] > L'9') {
        return false;
    }
    const CString head = stem.Left(3);
    return head.CompareNoCase(L"COM") == 0 || head.CompareNoCase(L"LPT") == 0;
}

CString MakeNumberedPhrasePath(const CString& folder, const CString& stem)
{
    const CString base = AddTrailingBackslash(folder) + stem;
    for (int number = 0;; ++number) {
        CString candidate = base;
        if (number > 0) {
            candidate.AppendFormat(L"_%d", number);
        }
        candidate += kPhraseFileExtension;
        if (!FileExists(candidate)) {
            return candidate;
        }
    }
}
