#include "app/history/TrayPaneHistory.h"

#include <deque>
#include <string>

#include "common/RichEditConversion.h"
#include "common/TextConversion.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"

namespace
{
// The item and its parts in every format a target may ask for: the RTF and
// HTML as stored, the ANSI text, and Unicode text (the item's own, else the
// plain text of its RTF or ANSI text), so that a plain editor pastes text.
bool PutItemWithEveryFormat(const CCHItem& item)
{
    std::vector<const CCHItem*> pieces{&item};
    for (const CCHItemPtr& part : item.GetParts())
        pieces.push_back(part.Get());
    std::deque<std::string> bytes;
    ClipboardBlockMap blocks;
    CString unicode;
    CString rtf;
    CString ansi;
    for (const CCHItem* piece : pieces) {
        if (!piece)
            continue;
        UINT format = 0;
        switch (piece->GetType()) {
        case CHT_RTF:
            format = GetRtfClipboardFormat();
            break;
        case CHT_HTML:
            format = GetHtmlClipboardFormat();
            break;
        case CHT_ANSI_TEXT:
            format = CF_TEXT;
            break;
        case CHT_UNICODE_TEXT:
            if (unicode.IsEmpty())
                unicode = piece->GetWideText();
            continue;
        default:
            continue;
        }
        if (blocks.count(format))
            continue;
        bytes.push_back(piece->GetByteText());
        if (bytes.back().empty())
            continue;
        blocks[format] = ClipboardBlockRef{bytes.back().c_str(), bytes.back().size() + 1};
        if (format == CF_TEXT)
            ansi = AnsiToWide(bytes.back().c_str());
        else if (piece->GetType() == CHT_RTF)
            rtf = CString(bytes.back().c_str());
    }
    if (unicode.IsEmpty() && !rtf.IsEmpty())
        unicode = RtfToPlainTextAll(rtf);
    if (unicode.IsEmpty())
        unicode = ansi;
    if (!unicode.IsEmpty())
        blocks[CF_UNICODETEXT] = ClipboardBlockRef{
            unicode.GetString(), (static_cast<SIZE_T>(unicode.GetLength()) + 1) * sizeof(wchar_t)};
    return PutClipboardFormats(blocks);
}
} // namespace

bool CTrayPaneHistory::PutTextItemOnClipboard(const CCHItem& item, int mode)
{
    // Find the row that holds this item: only the watcher's own items are put.
    const CCHQueue& queue = m_watcher.GetQueue();
    for (int row = 0; row < queue.GetCount(); ++row) {
        if (queue.GetItem(row) != &item)
            continue;
        return mode == 0 ? m_watcher.PutItemAsPlainText(row) : PutItemWithEveryFormat(item);
    }
    return false;
}
