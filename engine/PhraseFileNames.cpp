#include "engine/PhraseFileNames.h"

#include "common/PathFunctions.h"
#include "engine/PhraseFile.h"

#include <algorithm>
#include <iterator>

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

// Room kept after a file-name stem fitted to its folder: a number of up to four characters ("_999")
// and the longer of the phrase extension and, for a group's directory, "\FOLDER_SELF.scrivolanter".
constexpr int kNumberRoom = 4;
constexpr int kSuffixRoom = kNumberRoom + 1 + static_cast<int>(std::size(kFolderSelfFileName)) - 1;
// The longest name one path component takes on the usual file systems.
constexpr int kLongestComponent = 255;

// The stem cut so that the folder (`folderLength` characters with its backslash), the stem and the
// kept room stay below MAX_PATH and the name within one component. A cut never splits a surrogate
// pair and leaves no blank or "_" at the end; the result is never empty.
CString FitStem(CString stem, int folderLength)
{
    const int room =
        std::min(kLongestComponent - kNumberRoom - static_cast<int>(std::size(kPhraseFileExtension)),
                 MAX_PATH - 1 - folderLength - kSuffixRoom);
    if (stem.GetLength() <= room) {
        return stem;
    }
    int length = std::max(1, room);
    if (IS_HIGH_SURROGATE(stem[length - 1])) {
        --length;
    }
    stem.Truncate(length);
    stem.TrimRight(L" _");
    return stem.IsEmpty() ? CString(L"_") : stem;
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

CString MakePhraseFileName(const CString& title, int number, bool addExtension, bool blanksToUnderscores,
                           int folderLength)
{
    CString name = SanitizeFileNamePart(title, blanksToUnderscores, L"_");
    if (blanksToUnderscores) {
        name.Replace(L"   ", L"_");
        name.Replace(L"  ", L"_");
        name.Replace(L" ", L"_");
        ShortenRuns(name, L'_');
    }
    name = FitStem(name, folderLength);
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
        const CString candidate =
            base + MakePhraseFileName(title, number, addExtension, blanksToUnderscores, base.GetLength());
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
    const CString folderPart = AddTrailingBackslash(folder);
    const CString base = folderPart + FitStem(stem, folderPart.GetLength());
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
