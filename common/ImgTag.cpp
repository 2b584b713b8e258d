#include "common/ImgTag.h"

namespace
{
void AppendText(CString& tag, const wchar_t* name, const CString& value)
{
    if (value.IsEmpty())
        return;
    tag += L" ";
    tag += name;
    if (value == L" ") {
        tag += L"=\"\"";
        return;
    }
    const bool hasDouble = value.Find(L'"') >= 0;
    const bool hasSingle = value.Find(L'\'') >= 0;
    if (hasDouble && !hasSingle) {
        tag += L"='" + value + L"'";
        return;
    }
    CString quoted = value;
    if (hasDouble)
        quoted.Replace(L"\"", L"&quot;");
    tag += L"=\"" + quoted + L"\"";
}

void AppendNumber(CString& tag, const wchar_t* name, int value)
{
    if (value == -1)
        return;
    tag.AppendFormat(L" %s=%d", name, value);
}
} // namespace

CString BuildImgTag(const ImgTagRecord& image)
{
    CString tag = L"<IMG";
    AppendText(tag, L"SRC", image.src);
    AppendText(tag, L"ALT", image.alt);
    AppendNumber(tag, L"BORDER", image.border);
    AppendNumber(tag, L"WIDTH", image.width);
    AppendNumber(tag, L"HEIGHT", image.height);
    AppendNumber(tag, L"VSPACE", image.vspace);
    AppendNumber(tag, L"HSPACE", image.hspace);
    AppendText(tag, L"ID", image.id);
    AppendText(tag, L"STYLE", image.style);
    tag += L">";
    return tag;
}

CString VAlignToStr(int code)
{
    switch (code) {
    case 0:
        return L"TOP";
    case 1:
        return L"MIDDLE";
    case 2:
        return L"BOTTOM";
    default:
        return CString();
    }
}

CString HAlignToStr(int code)
{
    switch (code) {
    case 0:
        return L"LEFT";
    case 1:
        return L"CENTER";
    case 2:
        return L"RIGHT";
    default:
        return CString();
    }
}
