#include "app/VersionTexts.h"
#include "common/WellKnownNames.h"

#include "app/AppObjects.h"
#include "common/FileVersionInfo.h"
#include "common/PathFunctions.h"

namespace
{
constexpr wchar_t kBuildLabel[] = L"build";

// "2.6.0" -> "2.60": every "." after the first removed ("," already made ".").
CString CompactVersionHead(CString head)
{
    head.Replace(L',', L'.');
    const int first = head.Find(L'.');
    if (first < 0)
        return head;
    CString rest = head.Mid(first + 1);
    rest.Remove(L'.');
    return head.Left(first + 1) + rest;
}

CString CollapseDoubleBlanks(CString text)
{
    while (text.Replace(L"  ", L" ") > 0) {
    }
    return text;
}
} // namespace

CString FormatVersionTextFrom(const CString& productVersionHead, const CString& productVersionTail,
                              bool hasVersion, bool productName, bool buildPart, LPCWSTR label,
                              bool blankBeforeNumber, bool elevationMark, bool elevated)
{
    const CString product = productName ? CString(kProductName) : CString();
    if (!hasVersion)
        return product;

    CString version = CompactVersionHead(productVersionHead);
    if (buildPart) {
        const CString labelText = label ? label : L"";
        if (!version.IsEmpty())
            version += L" ";
        version += labelText;
        if (blankBeforeNumber || labelText.GetLength() > 1)
            version += L" ";
        version += productVersionTail;
    }
    if (elevationMark && elevated)
        version += L"^";
    return CollapseDoubleBlanks(product + L" " + version);
}

CString FormatVersionText(LPCWSTR file, bool productName, bool buildPart, LPCWSTR label,
                          bool blankBeforeNumber, bool elevationMark)
{
    CFileVersionInfo info(file ? CString(file) : GetModuleFilePath());
    const bool hasVersion = info.Read();
    const bool elevated = elevationMark && CAppObjects::IsElevated();
    return FormatVersionTextFrom(info.GetProductVersionHead(), info.GetProductVersionTail(), hasVersion,
                                 productName, buildPart, label, blankBeforeNumber, elevationMark, elevated);
}

CString GetProductVersionText(bool buildPart)
{
    return FormatVersionText(nullptr, true, buildPart, kBuildLabel, false, true);
}

CString GetFullVersionText()
{
    return FormatVersionText(nullptr, true, true, kBuildLabel, false, true);
}

CString GetVersionTextForCaption()
{
    return FormatVersionText(nullptr, true, true, kBuildLabel, false, true);
}

CString GetShortVersionText()
{
    return FormatVersionText(nullptr, true, true, L"b", false, true);
}

CString GetVersionTextForReport()
{
    return FormatVersionText(nullptr, true, true, kBuildLabel, false, true);
}

CString GetModuleVersionText(LPCWSTR file, bool buildPart)
{
    return FormatVersionText(file, false, buildPart, kBuildLabel, false, false);
}
