#include "engine/ClipboardHistoryTexts.h"

#include "engine/ForeignClipboardFormats.h"

#include "common/RichEditConversion.h"
#include "common/RtfPlainTextLength.h"
#include "common/TextConversion.h"
#include "common/TextUtilities.h"

#include <cstring>
#include <cwchar>

namespace
{
constexpr int kDefaultPreviewChars = 200;
constexpr int kTrayCaptionSourceChars = 1000;
constexpr int kTrayCaptionChars = 100;
constexpr int kMenuLineChars = 150;

const CCHItem& PreviewSource(const CCHItem& item)
{
    if (item.GetType() == CHT_UNICODE_TEXT)
        return item;
    for (int type : {CHT_UNICODE_TEXT, CHT_ANSI_TEXT}) {
        for (const CCHItemPtr& part : item.GetParts()) {
            if (part && part->GetType() == type)
                return *part.Get();
        }
    }
    return item;
}
} // namespace

CString GetItemPreviewText(const CCHItem& item, int maxChars)
{
    if (maxChars <= 0)
        maxChars = kDefaultPreviewChars;
    const CCHItem& source = PreviewSource(item);
    CString text;
    switch (source.GetType()) {
    case CHT_ANSI_TEXT:
        text = AnsiToWide(source.GetByteText().c_str());
        break;
    case CHT_UNICODE_TEXT:
        text = source.GetWideText();
        if (text.GetLength() >= maxChars)
            return text.Left(maxChars);
        break;
    case CHT_RTF:
        text = RtfToPlainTextPrefix(CString(source.GetByteText().c_str()), maxChars);
        break;
    case CHT_OVELLINE: {
        COvlMetaInfo info;
        if (source.GetOvlMetaInfo(info))
            text = DescribeOvlMetaInfoForItem(info);
        if (text.IsEmpty())
            text = L"Ovelline Document Data";
        break;
    }
    case CHT_BITMAP:
        text = L"Bitmap";
        break;
    default:
        return L"O-o-ops! Naxer!";
    }
    if (text.GetLength() > maxChars)
        text = text.Left(maxChars) + L"& ";
    return text;
}

int GetItemTextLength(const CCHItem& item)
{
    const CCHItem& source = PreviewSource(item);
    const auto* data = static_cast<const char*>(source.GetData());
    const size_t size = data ? source.GetSize() : 0;
    switch (source.GetType()) {
    case CHT_ANSI_TEXT: {
        const int bytes = static_cast<int>(strnlen(data ? data : "", size));
        return bytes ? ::MultiByteToWideChar(CP_ACP, 0, data, bytes, nullptr, 0) : 0;
    }
    case CHT_UNICODE_TEXT:
        return data ? static_cast<int>(wcsnlen(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t)))
                    : 0;
    case CHT_RTF:
        return static_cast<int>(GetRtfPlainTextLength(data, size));
    default:
        return 0;
    }
}

CString GetItemMenuCaption(const CCHItem& item)
{
    CString caption = GetItemPreviewText(item, kTrayCaptionSourceChars);
    TruncateAtWordWithEllipsis(caption, kTrayCaptionChars);
    return caption;
}

CString GetItemMenuLine(const CCHItem& item)
{
    return GetItemPreviewText(item, kMenuLineChars);
}

CString GetItemPreviewForPane(const CCHItem& item, int maxChars)
{
    return GetItemPreviewText(item, maxChars);
}
