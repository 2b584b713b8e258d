#include "engine/PhraseFileNames.h"

#include "common/PathFunctions.h"
#include "engine/PhraseFile.h"

namespace {

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
    const wchar_t substitute = (replacement != nullptr && *replacement != L'\0') ? *replacement : L'_';
    for (int i = 0; i < result.GetLength(); ++i) {
        if (IsReplacedCharacter(result[i], replaceBlanks)) {
            result.SetAt(i, substitute);
        }
    }
    ShortenRuns(result, substitute);
    result.Trim(substitute);
    return result;
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
    if (number > 1) {
        name.AppendFormat(L"%d", number);
    }
    if (addExtension) {
        name += kPhraseFileExtension;
    }
    return name;
}

CString MakeUniquePhrasePath(const CString& title, const CString& folder, bool addExtension, bool blanksToUnderscores,
                             bool /*asFile*/, const PathTakenFunction& isTaken)
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
