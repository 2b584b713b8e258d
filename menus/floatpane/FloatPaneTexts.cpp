#include "menus/floatpane/FloatPaneTexts.h"

#include "common/DateTimeHelpers.h"
#include "common/DateTimeTexts.h"
#include "common/LocalizedString.h"
#include "common/NumberTexts.h"
#include "common/PathFunctions.h"
#include "common/RichEditConversion.h"
#include "common/TextDecoration.h"
#include "common/TextHelpers.h"
#include "common/TextUtilities.h"
#include "engine/ClipboardHistoryTexts.h"
#include "engine/ForeignClipboardFormats.h"
#include "common/ByteSizeText.h"
#include "common/LanguageFile.h"
#include "common/LocaleInfo.h"
#include "common/Settings.h"
#include "common/SharedLog.h"

#include <iterator>
#include <map>

namespace
{
constexpr wchar_t kEllipsis[] = L"\x2026";
constexpr int kShortCut = 25;
constexpr int kShortBlankLimit = 50;

CString ItemPlainText(const CCHItem& item)
{
    switch (item.GetType()) {
    case CHT_ANSI_TEXT:
        return CString(item.GetByteText().c_str());
    case CHT_UNICODE_TEXT:
        return item.GetWideText();
    case CHT_RTF:
        return RtfToPlainTextAll(CString(item.GetByteText().c_str()));
    default:
        return CString();
    }
}

// Days since 1601 of the date part.
LONGLONG DayNumber(const SYSTEMTIME& time)
{
    SYSTEMTIME date = {};
    date.wYear = time.wYear;
    date.wMonth = time.wMonth;
    date.wDay = time.wDay;
    FILETIME file = {};
    if (!::SystemTimeToFileTime(&date, &file))
        return -1;
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    return static_cast<LONGLONG>(value.QuadPart / (10000000ULL * 86400ULL));
}

// The clipboard format a history item of the type was captured from.
UINT ClipboardFormatOfType(int type)
{
    switch (type) {
    case CHT_ANSI_TEXT:
        return CF_TEXT;
    case CHT_UNICODE_TEXT:
        return CF_UNICODETEXT;
    case CHT_RTF:
        return ::RegisterClipboardFormatW(L"Rich Text Format");
    case CHT_OVELLINE:
        return ::RegisterClipboardFormatW(L"Ovelline Format");
    case CHT_BITMAP:
        return CF_BITMAP;
    case CHT_HTML:
        return ::RegisterClipboardFormatW(L"HTML Format");
    default:
        return 0;
    }
}

// The registered name of a clipboard format, asked once per format; empty for the standard ones.
CString RegisteredFormatName(UINT format)
{
    static std::map<UINT, CString> names;
    const auto known = names.find(format);
    if (known != names.end())
        return known->second;
    wchar_t name[256] = {};
    const int length = format ? ::GetClipboardFormatNameW(format, name, static_cast<int>(std::size(name))) : 0;
    return names[format] = length > 0 ? CString(name, length) : CString();
}

// The short or long description of a clip's meta information; empty when it has none or it does not parse.
CString OvellineDescription(const CCHItem& item, bool longForm)
{
    if (!item.HasOvlMetaInfo())
        return CString();
    CString line;
    line.Format(L"Is_Has_OVL_MetaInfo=%d", 1);
    WriteLogLine(line);
    COvlMetaInfo meta;
    if (!item.GetOvlMetaInfo(meta))
        return CString();
    return longForm ? DescribeOvlMetaInfoLong(meta) : DescribeOvlMetaInfoShort(meta);
}

CString FormatName(int type)
{
    if (type == CHT_RTF)
        return L"RTF";
    const CString registered = RegisteredFormatName(ClipboardFormatOfType(type));
    if (!registered.IsEmpty())
        return registered;
    switch (type) {
    case CHT_ANSI_TEXT:
        return LoadLocalizedTextOr(136, L"Text") + L" (ANSI)";
    case CHT_UNICODE_TEXT:
        return LoadLocalizedTextOr(136, L"Text") + L" (Unicode)";
    case CHT_RTF:
        return LoadLocalizedTextOr(144, L"Formatted Text");
    case CHT_OVELLINE:
        return LoadLocalizedTextOr(176, L"Ovelline Document");
    case CHT_BITMAP:
        return LoadLocalizedTextOr(227, L"Bitmap");
    case CHT_HTML:
        return LoadLocalizedTextOr(285, L"HTML");
    default:
        return L"Ooops! Unknown Clipboard Format";
    }
}

CString SizeLine(const CCHItem& item)
{
    CString line;
    if (item.GetType() == CHT_BITMAP) {
        BITMAP bitmap = {};
        if (item.GetBitmap() && ::GetObjectW(item.GetBitmap(), sizeof(bitmap), &bitmap))
            line.Format(L"%d x %d", bitmap.bmWidth, bitmap.bmHeight);
        return line;
    }
    if (item.GetType() == CHT_OVELLINE)
        return FormatByteSizeText(item.GetSize());
    const CString text = ItemPlainText(item);
    if (text.IsEmpty() && item.GetType() != CHT_UNICODE_TEXT && item.GetType() != CHT_ANSI_TEXT)
        return line;
    const int lines = CountLinesW(text.GetString(), text.GetLength());
    return LoadLocalizedTextOr(259, L"Chars") + L": " + FormatNumberGrouped(text.GetLength()) + L",\t" +
           LoadLocalizedTextOr(277, L"Lines") + L": " + FormatNumberGrouped(lines);
}

// The locale of the installed keyboard layout whose language is the current language file's
// ("LangPrefix", English without a file); the thread's locale when no layout has that language.
LCID CurrentLanguageLocale()
{
    CSettings& settings = GetSettings();
    CString prefix =
        settings.GetLanguageFileName().IsEmpty() ? CString() : GetLangPrefix(settings.GetLanguageFilePath());
    if (prefix.IsEmpty())
        prefix = L"en";
    HKL layouts[64] = {};
    const int count = ::GetKeyboardLayoutList(static_cast<int>(std::size(layouts)), layouts);
    for (int i = 0; i < count; ++i) {
        const LCID locale = MAKELCID(LOWORD(reinterpret_cast<ULONG_PTR>(layouts[i])), SORT_DEFAULT);
        if (GetLocaleString(locale, LOCALE_SISO639LANGNAME).CompareNoCase(prefix) == 0)
            return locale;
    }
    return ::GetThreadLocale();
}

CString TimeLine(const CCHItem& item, const SYSTEMTIME& nowLocal)
{
    static const UINT kDayWords[] = {1064, 1065, 1066};
    static const wchar_t* const kDayEnglish[] = {L"Today", L"Yesterday", L"Two days ago"};
    const int day = CaptureDayIndex(item.GetTime(), nowLocal);
    CString suffix;
    if (day >= 0) {
        CString word = LoadLocalizedTextOr(kDayWords[day], kDayEnglish[day]);
        ::CharLowerW(word.GetBuffer());
        word.ReleaseBuffer();
        suffix = L".   " + word;
    }
    CString line = DateTimeToCompactText(item.GetTime(), suffix.IsEmpty() ? nullptr : suffix.GetString());
    FILETIME captured = {}, now = {};
    ::SystemTimeToFileTime(&item.GetTime(), &captured);
    ::SystemTimeToFileTime(&nowLocal, &now);
    ULARGE_INTEGER a, b;
    a.LowPart = captured.dwLowDateTime;
    a.HighPart = captured.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    const ULONGLONG elapsedMs = b.QuadPart > a.QuadPart ? (b.QuadPart - a.QuadPart) / 10000 : 0;
    const DWORD shownMs = elapsedMs > 0xFFFFFFFFULL ? 0xFFFFFFFF : static_cast<DWORD>(elapsedMs);
    line += L"  \x2014 " + FormatDurationMs(shownMs, CurrentLanguageLocale()) + L" " +
            LoadLocalizedTextOr(305, L"ago");
    return line;
}

CString SourceLine(const CCHItem& item)
{
    const CCHOwnerInfo& owner = item.GetOwnerInfo();
    if (owner.windowTitle.IsEmpty() && owner.exePath.IsEmpty())
        return CString();
    CString line = LoadLocalizedTextOr(145, L"Source");
    if (!owner.windowTitle.IsEmpty())
        line += L" [" + owner.windowTitle + L"]";
    if (!owner.exePath.IsEmpty())
        line += (owner.windowTitle.IsEmpty() ? CString() : CString(L"\n")) + L"[" +
                GetFileNameFromPath(owner.exePath) + L"]";
    return line;
}

CString ItemUrl(const CCHItem& item)
{
    if (item.HasUrl())
        return item.GetUrl();
    for (const CCHItemPtr& part : item.GetParts())
        if (part && part->HasUrl())
            return part->GetUrl();
    return CString();
}
} // namespace

CString MakePaneRowText(const CCHItem* item, int maxChars)
{
    CString text;
    if (item) {
        if (item->GetType() == CHT_BITMAP)
            text = LoadLocalizedTextOr(227, L"Bitmap");
        else if (item->GetType() == CHT_OVELLINE)
            text = item->HasOvlMetaInfo() ? OvellineDescription(*item, false) : CString(L"{== Ovelline Data ==}");
        else {
            text = GetItemPreviewForPane(*item, maxChars);
            text.Replace(L"\n", L" ");
            text.Replace(L"  ", L" ");
        }
    }
    if (text.IsEmpty())
        return L"ERROR";
    text.Trim(L"\r\n\t ");
    if (maxChars > 0 && text.GetLength() > maxChars)
        text = text.Left(maxChars);
    return text;
}

CString CleanSelectionShortText(const CString& preview)
{
    CString text = preview;
    text.TrimLeft(L"\r\n\t");
    text.Replace(L'\t', L' ');
    text.Replace(L"    ", L" ");
    text.Replace(L"   ", L" ");
    text.Replace(L"  ", L" ");
    text.TrimLeft(L"? \t\r\n");
    bool cut = false;
    if (text.GetLength() > kShortCut - 1) {
        int lineBreak = text.Find(L'\n');
        if (lineBreak < 0)
            lineBreak = text.Find(L'\r');
        if (lineBreak > kShortCut - 1) {
            text = text.Left(lineBreak);
            cut = true;
        }
    }
    if (text.GetLength() >= kShortCut) {
        const int blank = text.Find(L' ', kShortCut);
        if (blank >= 0 && blank <= kShortBlankLimit) {
            text = text.Left(blank);
            cut = true;
        } else if (text.GetLength() > kShortCut) {
            text = text.Left(kShortCut);
            cut = true;
        }
    }
    if (cut)
        text += kEllipsis;
    return text;
}

CString MakeSelectionMenuText(const CString& cleaned, int selectedCount, const CString& andMoreText)
{
    if (cleaned.IsEmpty())
        return CString();
    CString text = cleaned;
    if (selectedCount > 1)
        text += L" + " + andMoreText + kEllipsis;
    return L"  [" + text + L"]";
}

PaneSaveDialogSpec MakeSaveDialogSpec(const CCHItem& item)
{
    PaneSaveDialogSpec spec;
    if (item.HasHtmlPart(false)) {
        spec.filter = L"HTML files (*.htm,*.html)|*.htm|";
        spec.defaultExtension = L".htm";
        spec.htmlFilter = true;
    }
    CString extension;
    switch (item.GetType()) {
    case CHT_ANSI_TEXT:
    case CHT_UNICODE_TEXT:
        spec.filter += L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
        extension = L".txt";
        break;
    case CHT_RTF:
        spec.filter += L"Formatted Text Files (*.rtf)|*.rtf|All Files (*.*)|*.*||";
        extension = L".rtf";
        break;
    case CHT_OVELLINE:
        spec.filter += L"Ovelline Documents (*.ovl)|*.ovl|All Files (*.*)|*.*||";
        extension = L".ovl";
        break;
    case CHT_BITMAP:
        spec.filter += L"Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";
        extension = L".bmp";
        break;
    default:
        break;
    }
    if (spec.defaultExtension.IsEmpty())
        spec.defaultExtension = extension;
    if (item.GetType() == CHT_OVELLINE)
        spec.suggestedName = L"Ovelline_Document.ovl";
    else
        spec.suggestedName =
            MakeSafeFileNameFromTitle(MakeSafeFileNameFromTitle(ItemPlainText(item), false, 50), false, 40);
    return spec;
}

std::wstring MakeNulSeparatedFilter(const CString& filter)
{
    std::wstring text(filter.GetString());
    for (wchar_t& c : text)
        if (c == L'|')
            c = L'\0';
    return text;
}

int CaptureDayIndex(const SYSTEMTIME& captureLocal, const SYSTEMTIME& nowLocal)
{
    const LONGLONG capture = DayNumber(captureLocal);
    const LONGLONG now = DayNumber(nowLocal);
    if (capture < 0 || now < 0)
        return -1;
    const LONGLONG days = now - capture;
    return days >= 0 && days <= 2 ? static_cast<int>(days) : -1;
}

CString MakeItemInfoBlock(const CCHItem& item, const SYSTEMTIME& nowLocal)
{
    CString formats = FormatName(item.GetType());
    for (const CCHItemPtr& part : item.GetParts())
        if (part)
            formats += L", " + FormatName(part->GetType());
    CString file;
    if (item.GetFileState() == 1 || item.GetFileState() == 2)
        file = LoadLocalizedTextOr(item.GetFileState() == 1 ? 218 : 219,
                                   item.GetFileState() == 1 ? L"Loaded from" : L"Saved to") +
               L": " + GetFileNameFromPath(item.GetDataFilePath());
    const CString url = ItemUrl(item);
    const CString lines[] = {
        formats,          SizeLine(item), TimeLine(item, nowLocal),
        SourceLine(item), file,           url.IsEmpty() ? CString() : CString(L"URL: ") + url};
    const CString prefix = L"\t" + MakeBulletPrefix();
    CString block;
    for (const CString& line : lines) {
        if (line.IsEmpty())
            continue;
        CString shown = line;
        shown.Replace(L"\n", L"\n" + prefix);
        if (!block.IsEmpty())
            block += L"\n";
        block += prefix + shown;
    }
    return block;
}

CString MakeItemTipText(const CCHItem& item, int maxChars)
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    CString preview = item.GetType() == CHT_OVELLINE ? OvellineDescription(item, true) : CString();
    if (preview.IsEmpty())
        preview = item.GetType() == CHT_BITMAP || item.GetType() == CHT_OVELLINE
                      ? MakePaneRowText(&item, maxChars)
                      : GetItemPreviewForPane(item, maxChars);
    CString text = MakeItemInfoBlock(item, now) + L"\n" + MakeDashes(35) + L"\n" + preview;
    if (maxChars > 0 && text.GetLength() > maxChars - 1)
        text = text.Left(maxChars - 1);
    return text;
}
