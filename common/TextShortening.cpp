#include "common/TextShortening.h"

const wchar_t kMiddleEllipsisSeparator[] =
    L" \u2026\n\t\t\u2026 \u2026 \u2026\n\t\t\u2026 \u2026 \u2026\n\u2026 ";

namespace
{

constexpr int kShortDisplayLength = 100;

} // namespace

CString CutMiddle(const CString& text, int maxLength)
{
    if (maxLength <= 0 || text.GetLength() < maxLength)
        return text;
    const int half = maxLength / 2;
    return text.Left(half) + kMiddleEllipsisSeparator + text.Right(half);
}

CString GetShortDisplayText(CStringPair& texts)
{
    if (texts.second.IsEmpty() && !texts.first.IsEmpty())
        texts.second = CutMiddle(texts.first, kShortDisplayLength);
    return texts.second;
}
