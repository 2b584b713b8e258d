#include "engine/ForeignClipboardFormats.h"

#include <algorithm>

#include "common/XmlInputChecks.h"

#include <shlwapi.h>
#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

#include "common/LocalizedString.h"
#include "common/SystemTexts.h"
#include "common/TextConversion.h"
#include "engine/ClipboardAccess.h"

namespace
{
constexpr UINT kIdsCopiedFrom = 145;
constexpr wchar_t kBullet[] = L"      \u2022 ";

// Decimal digits only; else `fallback`.
int DigitsAttribute(const TiXmlElement& element, const char* name, int fallback)
{
    const char* value = element.Attribute(name);
    if (!value || !*value)
        return fallback;
    for (const char* p = value; *p; ++p) {
        if (*p < '0' || *p > '9')
            return fallback;
    }
    return static_cast<int>(std::strtol(value, nullptr, 10));
}

WORD WordAttribute(const TiXmlElement& element, const char* name)
{
    int value = 0;
    if (element.QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return 65535;
    return static_cast<WORD>(value);
}

bool StartsWith(const CString& text, LPCWSTR prefix)
{
    return text.Left(static_cast<int>(wcslen(prefix))) == prefix;
}

CString UpToFirstOf(const CString& text, LPCWSTR stops)
{
    const int end = text.FindOneOf(stops);
    return end < 0 ? text : text.Left(end);
}

bool IsFullLocalPath(const CString& candidate)
{
    if (candidate.IsEmpty() || candidate.GetLength() >= MAX_PATH)
        return false;
    wchar_t drive[_MAX_DRIVE] = {};
    wchar_t directory[_MAX_DIR] = {};
    _wsplitpath_s(candidate, drive, _MAX_DRIVE, directory, _MAX_DIR, nullptr, 0, nullptr, 0);
    return drive[0] != 0 && directory[0] != 0;
}
} // namespace

UINT GetOvlMetaInfoClipboardFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"Ovelline Clipboard Meta Info");
    return format;
}

UINT GetOvellineClipboardFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"Ovelline Format");
    return format;
}

bool ReadGlobalBlockBytes(HANDLE block, std::string& bytes)
{
    bytes.clear();
    const SIZE_T size = block ? ::GlobalSize(block) : 0;
    if (size == 0)
        return false;
    const void* data = ::GlobalLock(block);
    if (!data)
        return false;
    bytes.assign(static_cast<const char*>(data), size);
    ::GlobalUnlock(block);
    return true;
}

bool ReadGlobalBlockText(HANDLE block, std::string& text)
{
    if (!ReadGlobalBlockBytes(block, text))
        return false;
    const size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return true;
}

// --- COvlMetaInfo ---

COvlMetaInfo::COvlMetaInfo()
{
    ::GetLocalTime(&m_date);
}

// The meta information is a root with a list of nodes.
constexpr int kMaxMetaInfoNesting = 16;

bool COvlMetaInfo::Parse(const char* xml)
{
    if (!xml || !*xml)
        return false;
    // Another program wrote it: deep nesting and a damaged tail never reach the parser.
    if (!IsXmlNestingWithin(xml, std::strlen(xml), kMaxMetaInfoNesting))
        return false;
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(xml, guarded), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
        return false;
    const TiXmlElement* root = document.RootElement();
    if (!root || std::strcmp(root->Value(), "OVL_DATA") != 0)
        return false;
    m_nodes.clear();
    m_pid = DigitsAttribute(*root, "PID", 0);
    m_docId = DigitsAttribute(*root, "DOC_ID", 65535);
    m_date = {};
    m_date.wYear = WordAttribute(*root, "Y");
    m_date.wMonth = WordAttribute(*root, "M");
    m_date.wDay = WordAttribute(*root, "D");
    m_date.wHour = WordAttribute(*root, "H");
    m_date.wMinute = WordAttribute(*root, "Min");
    m_date.wSecond = WordAttribute(*root, "S");
    const char* path = root->Attribute("OVL_Doc_Path_Title");
    m_docPathTitle = path ? Utf8ToWide(path) : CString();
    int size = 0;
    m_size = root->QueryIntAttribute("Size", &size) == TIXML_SUCCESS ? size : 0;
    if (const TiXmlElement* nodes = root->FirstChildElement("Nodes")) {
        for (const TiXmlElement* node = nodes->FirstChildElement("Node"); node;
             node = node->NextSiblingElement("Node")) {
            const char* text = node->GetText();
            m_nodes.push_back(text ? Utf8ToWide(text) : CString());
        }
    }
    return true;
}

CString COvlMetaInfo::GetDocFileName() const
{
    const int slash = m_docPathTitle.ReverseFind(L'\\');
    return slash < 0 ? m_docPathTitle : m_docPathTitle.Mid(slash + 1);
}

CString COvlMetaInfo::GetNode(int index) const
{
    return index >= 0 && index < GetNodeCount() ? m_nodes[index] : CString();
}

CString DescribeOvlMetaInfo(const COvlMetaInfo& info, int mode)
{
    const CString name = mode == 1 ? info.GetDocPathTitle() : info.GetDocFileName();
    const CString bracketed = L"[" + name + L"]";
    CString text;
    if (mode == 1) {
        CString count;
        count.Format(L"%d", info.GetNodeCount());
        text = CString(kBullet) + LoadLocalizedTextOr(kIdsCopiedFrom, L"Copied From") + L": " + bracketed +
               L", " + count + L"   \u2014 " + FormatByteSize(info.GetSize());
    } else {
        text = bracketed;
    }
    if (info.GetNodeCount() > 0 && !info.GetNode(0).IsEmpty()) {
        if (mode == 1)
            text += CString(L"\n") + kBullet + L"[" + info.GetNode(0) + L"]";
        else
            text += L" [" + info.GetNode(0) + L"]";
    }
    return text;
}

CString DescribeOvlMetaInfoShort(const COvlMetaInfo& info)
{
    return DescribeOvlMetaInfo(info, 0);
}

CString DescribeOvlMetaInfoLong(const COvlMetaInfo& info)
{
    return DescribeOvlMetaInfo(info, 1);
}

CString DescribeOvlMetaInfoForItem(const COvlMetaInfo& info)
{
    return DescribeOvlMetaInfo(info, 2);
}

bool IsOvlMetaInfoAvailable()
{
    const UINT format = GetOvlMetaInfoClipboardFormat();
    return format != 0 && ::IsClipboardFormatAvailable(format);
}

bool ReadOvlMetaInfo(bool openClipboard, std::string& xml)
{
    xml.clear();
    if (!IsOvlMetaInfoAvailable())
        return false;
    if (openClipboard && !::OpenClipboard(nullptr))
        return false;
    ReadGlobalBlockText(::GetClipboardData(GetOvlMetaInfoClipboardFormat()), xml);
    if (openClipboard)
        ::CloseClipboard();
    return true;
}

CString GetUrlFromHtmlBytes(const std::string& html)
{
    const CString text = Utf8ToWide(html.c_str());
    const int start = text.Find(L"SourceURL:");
    if (start < 0)
        return CString();
    const CString rest = text.Mid(start + 10);
    const int end = rest.FindOneOf(L"\r\n");
    return end < 0 ? CString() : rest.Left(end);
}

CString GetHtmlSourceUrl()
{
    const UINT format = GetHtmlClipboardFormat();
    if (!format || !::IsClipboardFormatAvailable(format))
        return CString();
    // "SourceURL:" stands in the description lines before the fragment: only
    // their bytes are read, never a copy of a whole (possibly huge) page.
    constexpr SIZE_T kDescriptionBytes = 16 * 1024;
    HANDLE block = ::GetClipboardData(format);
    const SIZE_T size = block ? ::GlobalSize(block) : 0;
    const char* data = size ? static_cast<const char*>(::GlobalLock(block)) : nullptr;
    if (!data)
        return CString();
    const std::string description(data, strnlen(data, (std::min)(size, kDescriptionBytes)));
    ::GlobalUnlock(block);
    return GetUrlFromHtmlBytes(description);
}

CString GetUrlFromText(const CString& original)
{
    CString text = original;
    text.TrimLeft(L" \n\t\r");
    if (text.GetLength() < 7)
        return CString();
    for (LPCWSTR prefix : {L"http://", L"https://"}) {
        if (!StartsWith(text, prefix))
            continue;
        const CString candidate = UpToFirstOf(text, L" \n\r\t");
        return ::PathIsURLW(candidate) ? candidate : CString();
    }
    const CString line = UpToFirstOf(text, L"\n\r");
    if (IsFullLocalPath(line))
        return line;
    const CString word = UpToFirstOf(text, L" \n\t\r");
    return IsFullLocalPath(word) ? word : CString();
}

CString GetUrlFromAnsiText(const char* bytes)
{
    return GetUrlFromText(AnsiToWide(bytes));
}
