#include "menus/tips/HistoryMenuTexts.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/TextConversion.h"
#include "common/TextUtilities.h"
#include "engine/MenuCaptions.h"
#include "menus/tips/MenuHistorySource.h"
#include "menus/phrasemenu/PhraseMenuBuilderRes.h"
#include "menus/phrasemenu/PhraseMenuHost.h"

namespace
{
constexpr int kTipRtfChars = 200;

// The bytes of a narrow text item up to its NUL, never past its size.
std::string ItemBytes(const IMenuHistoryItem& item)
{
    const char* data = static_cast<const char*>(item.GetData());
    if (!data)
        return std::string();
    const size_t size = item.GetSize();
    const void* end = std::memchr(data, 0, size);
    return std::string(data, end ? static_cast<const char*>(end) - data : size);
}

// The characters of a UTF-16 item up to its NUL, never past its size.
CString ItemWideText(const IMenuHistoryItem& item)
{
    const wchar_t* data = static_cast<const wchar_t*>(item.GetData());
    if (!data)
        return CString();
    const size_t limit = item.GetSize() / sizeof(wchar_t);
    size_t length = 0;
    while (length < limit && data[length] != L'\0')
        ++length;
    return CString(data, static_cast<int>(length));
}

// The content a tooltip shows of the item.
CString TipContent(const IMenuHistoryItem& item)
{
    switch (item.GetType()) {
    case kHistoryRtf:
        return RtfToPlainTextPrefix(GetHistoryItemText(item), kTipRtfChars);
    case kHistoryAnsiText:
    case kHistoryUnicodeText:
        return GetHistoryItemText(item);
    case kHistoryDocument:
        return item.DescribeOvlMetaInfoLong();
    default:
        return CString();
    }
}

CString BuildTipText(const IMenuHistoryItem& item, IPhraseMenuHost* host)
{
    const int type = item.GetType();
    CString tip = item.HasOvlMetaInfo()
                      ? LoadLocalizedTextOr(IDS_PHRASE_MENU_DOCUMENT_KIND, L"Insert Ovelline document")
                      : GetPhraseKindText(type == kHistoryRtf ? 1 : 0);
    tip += L": ";
    tip += GetHistoryDataText();

    CString content = TipContent(item);
    int lines = 0;
    if (type != kHistoryDocument) {
        tip += L"\n    ";
        if (host)
            tip += host->FormatCharsCountText(content.GetLength());
        if (type == kHistoryAnsiText || type == kHistoryUnicodeText || type == kHistoryRtf)
            lines = CountLinesW(content.GetString(), content.GetLength());
        if (lines > 0)
            tip += CString(L", ") + MakeLinesCountText(lines);
    }
    if (!content.IsEmpty()) {
        if (lines > 0)
            content = ShortenToFirstAndLastLines(content, lines);
        else
            ShortenTextMiddle(content, -1);
        tip += L"\n\n";
        tip += content;
    }
    const CString url = item.GetUrl();
    if (!url.IsEmpty())
        tip = CString(L"    URL: ") + url + L"\n\n" + tip;
    return tip;
}
} // namespace

CString GetHistoryItemText(const IMenuHistoryItem& item)
{
    switch (item.GetType()) {
    case kHistoryAnsiText:
    case kHistoryRtf:
        return AnsiToWide(ItemBytes(item).c_str());
    case kHistoryUnicodeText:
        return ItemWideText(item);
    default:
        return CString();
    }
}

bool GetHistoryItemCommand(const IMenuHistoryItem& item, CString& text, int& dataType)
{
    const int type = item.GetType();
    if (type != kHistoryAnsiText && type != kHistoryUnicodeText && type != kHistoryRtf)
        return false;
    text = GetHistoryItemText(item);
    dataType = type == kHistoryRtf ? 1 : 0;
    return true;
}

CString GetHistoryItemMenuCaption(IMenuHistoryItem& item, CString* full)
{
    CString text = item.GetMenuText();
    const bool cached = !text.IsEmpty();
    if (!cached)
        text = item.GetMenuLine();
    if (full)
        *full = text;
    TrimAndShortenForMenu(text, kHistoryMenuCaptionChars);
    if (!cached)
        item.SetMenuText(text);
    return text;
}

CString GetHistoryItemTipText(IMenuHistoryItem& item, IPhraseMenuHost* host)
{
    CString tip = item.GetTipText();
    if (!tip.IsEmpty())
        return tip;
    tip = BuildTipText(item, host);
    item.SetTipText(tip);
    return tip;
}
