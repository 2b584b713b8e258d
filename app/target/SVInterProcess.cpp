#include "app/target/SVInterProcess.h"

#include "platform/interchange/InterchangeArea.h"
#include "common/KernelHandle.h"
#include "common/SecurityInfo.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "common/XmlInputChecks.h"
#include "online/SharedSettingsArea.h"
#include "common/SystemErrorText.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{
struct ViewUnmapper
{
    void operator()(void* view) const { ::UnmapViewOfFile(view); }
};
using MappedView = std::unique_ptr<void, ViewUnmapper>;

using IA = InterchangeArea;
// Deeper element nesting than this refuses a query document.
constexpr int kMaxQueryNesting = 16;

int IntAttribute(const TiXmlElement& element, const char* name, int fallback)
{
    int value = fallback;
    if (element.QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return fallback;
    return value;
}

// The element's text as a 32-bit number (decimal, a sign allowed); `fallback`
// when the element is missing.
DWORD NumberOfChild(const TiXmlElement& parent, const char* name, DWORD fallback)
{
    const TiXmlElement* child = parent.FirstChildElement(name);
    if (!child)
        return fallback;
    const char* text = child->GetText();
    if (!text)
        return 0;
    return static_cast<DWORD>(std::strtoll(text, nullptr, 10));
}

// Whether the document's declaration names an encoding other than UTF-8 (its
// texts are then in the ANSI code page).
bool DeclaresAnsiEncoding(const char* document)
{
    const char* start = std::strstr(document, "<?xml");
    if (!start || start - document > 4)
        return false;
    const char* end = std::strstr(start, "?>");
    const std::string declaration(start, end ? static_cast<size_t>(end - start) : std::strlen(start));
    const size_t attribute = declaration.find("encoding");
    if (attribute == std::string::npos)
        return false;
    const size_t open = declaration.find_first_of("\"'", attribute);
    if (open == std::string::npos)
        return false;
    const size_t close = declaration.find(declaration[open], open + 1);
    const std::string encoding =
        declaration.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    return !encoding.empty() && _stricmp(encoding.c_str(), "UTF-8") != 0 &&
           _stricmp(encoding.c_str(), "UTF8") != 0;
}

class CDocumentText
{
public:
    explicit CDocumentText(bool ansi) : m_ansi(ansi) {}
    CString operator()(const char* text) const
    {
        if (!text)
            return CString();
        return m_ansi ? AnsiToWide(text) : Utf8ToWide(text);
    }
    CString OfChild(const TiXmlElement& parent, const char* name, const CString& fallback) const
    {
        const TiXmlElement* child = parent.FirstChildElement(name);
        return child ? (*this)(child->GetText()) : fallback;
    }

private:
    bool m_ansi;
};

void LogLastError(LPCWSTR prefix, DWORD error)
{
    CString line;
    line.Format(L"%serror code: %u error desc: %s", prefix, error, GetSystemErrorText(error).GetString());
    LogError(line);
}

TiXmlElement* NewTextElement(const char* name, const std::string& text)
{
    auto* element = new TiXmlElement(name);
    element->LinkEndChild(new TiXmlText(text));
    return element;
}

void AppendItems(TiXmlElement& parent, const std::vector<MenuItemRecord>& items)
{
    for (const MenuItemRecord& item : items) {
        const bool folder = item.HasSubItems();
        auto* element = new TiXmlElement(folder ? IA::kAnswerGroup : IA::kAnswerCommand);
        if (folder) {
            element->SetAttribute(IA::kAnswerDefault, item.flags & MenuItemRecord::kFlagDefault);
        } else {
            element->SetAttribute(IA::kAnswerFlags, item.flags);
            element->SetAttribute(IA::kAnswerCommandId, item.id);
            element->SetAttribute(IA::kAnswerDataType, item.dataType);
            element->SetAttribute(IA::kAnswerLcid, item.languageId);
        }
        if ((folder || item.id != 0) && item.GetTitle()[0])
            element->LinkEndChild(new TiXmlText(WideToUtf8(item.GetTitle())));
        if (folder) {
            if (item.GetSubItems().empty())
                WriteLogLine(L"Oops! Group is empty");
            AppendItems(*element, item.GetSubItems());
        } else if (item.GetHint()[0]) {
            element->LinkEndChild(NewTextElement(IA::kAnswerToolTip, WideToUtf8(item.GetHint())));
        }
        parent.LinkEndChild(element);
    }
}
} // namespace

HANDLE SVInterProcess::CreateEmptyFileMapping(LPCWSTR name)
{
    SECURITY_ATTRIBUTES attributes = {};
    const bool open = CreateOpenSecurityAttributes(&attributes);
    ::SetLastError(0);
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, open ? &attributes : nullptr, PAGE_READWRITE,
                                          0, IA::kMappingSize, name);
    const DWORD error = ::GetLastError();
    if (mapping && error != 0)
        LogLastError(L"SVInterProcess::CreateEmptyFileMapping, ", error);
    ::SetLastError(error);
    return mapping;
}

bool SVInterProcess::ReadMappingText(LPCWSTR name, std::string& text)
{
    text.clear();
    CKernelHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    if (!mapping) {
        WriteLogLine(L"cannot open file");
        return false;
    }
    MappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) {
        WriteLogLine(L"cannot MapViewOfFile");
        return false;
    }
    // The text ends at its terminator anywhere within the view (never read past the view's real
    // size); kMaxTextBytes is only the length the readability check names.
    text = ReadTerminatedTextInView(view.get(), IA::kMappingSize - 1);
    CString line;
    line.Format(L"Read A from buffer, filelen=%d max_len=%d", static_cast<int>(text.size()),
                static_cast<int>(IA::kMaxTextBytes));
    WriteLogLine(line);
    return !text.empty();
}

bool SVInterProcess::ReadQuery(SVQuery& query, LPCWSTR mappingName)
{
    std::string text;
    if (!ReadMappingText(mappingName, text))
        return false;
    return ParseQuery(query, text.c_str());
}

bool SVInterProcess::ParseQuery(SVQuery& query, const char* document)
{
    if (!document || !*document)
        return false;
    // A query is a root with a few children: deep nesting is damage and would
    // overflow the stack of the recursive parser.
    if (!IsXmlNestingWithin(document, IA::kMappingSize, kMaxQueryNesting)) {
        LogError(L"SVInterProcess::ParseQuery: the document nests too deep, refused");
        return false;
    }
    const bool ansi = DeclaresAnsiEncoding(document);
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument xml;
    std::string guarded;
    xml.Parse(GuardParserTail(document, guarded), nullptr,
              ansi ? TIXML_ENCODING_LEGACY : TIXML_ENCODING_UTF8);
    if (xml.Error())
        return false;
    const TiXmlElement* root = xml.FirstChildElement(IA::kQueryRoot);
    if (!root)
        return false;
    const CDocumentText textOf(ansi);

    query.POINT_X = IntAttribute(*root, IA::kQueryPointX, -1);
    query.POINT_Y = IntAttribute(*root, IA::kQueryPointY, -1);
    query.ThreadInfo.hwndActive = HandleFromDocumentValue(IntAttribute(*root, IA::kQueryActive, 0));
    query.ThreadInfo.hwndCapture = HandleFromDocumentValue(IntAttribute(*root, IA::kQueryCapture, 0));
    query.ThreadInfo.hwndCaret = HandleFromDocumentValue(IntAttribute(*root, IA::kQueryCaret, 0));
    query.ThreadInfo.hwndFocus = HandleFromDocumentValue(IntAttribute(*root, IA::kQueryFocus, 0));
    query.ThreadInfo.hwndMenuOwner = HandleFromDocumentValue(IntAttribute(*root, IA::kQueryMenuOwner, 0));

    query.AppPath = textOf.OfChild(*root, IA::kQueryAppPath, query.AppPath);
    query.WindowClassName = textOf.OfChild(*root, IA::kQueryClassName, query.WindowClassName);
    if (root->FirstChildElement(IA::kQueryWindow))
        query.Hwnd = HandleFromDocumentValue(static_cast<int>(NumberOfChild(*root, IA::kQueryWindow, 0)));

    const bool hasHigh = root->FirstChildElement(IA::kQueryLayoutHigh) != nullptr;
    const bool hasLow = root->FirstChildElement(IA::kQueryLayoutLow) != nullptr;
    if (hasHigh || hasLow) {
        const DWORD high = NumberOfChild(*root, IA::kQueryLayoutHigh, 0xFFFF) & 0xFFFF;
        const DWORD low = NumberOfChild(*root, IA::kQueryLayoutLow, 0xFFFF) & 0xFFFF;
        query.Hkl = LayoutFromDocumentValue((high << 16) | low);
    }

    if (const TiXmlElement* selText = root->FirstChildElement(IA::kQuerySelText)) {
        query.SelText = textOf(selText->GetText());
        query.StateSelText = IntAttribute(*selText, IA::kQuerySelTextState, kSelTextStateMissing);
    }
    return true;
}

bool SVInterProcess::BuildAnswer(const SVAnswer& answer, std::string& text)
{
    text.clear();
    if (answer.Items.empty())
        return false;
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    auto* root = new TiXmlElement(IA::kAnswerRoot);
    root->SetAttribute(IA::kAnswerSound, answer.Sound ? 1 : 0);
    root->SetAttribute(IA::kAnswerShowToolTips, answer.ShowToolTips ? 1 : 0);
    root->SetAttribute(IA::kAnswerTopMost, answer.ForegroundTopMostWnd ? 1 : 0);
    auto* group = new TiXmlElement(IA::kAnswerGroup);
    AppendItems(*group, answer.Items);
    if (answer.MenuPerColumn != 0)
        group->LinkEndChild(NewTextElement(IA::kAnswerMenuPerColumn, std::to_string(answer.MenuPerColumn)));
    root->LinkEndChild(group);
    document.LinkEndChild(root);

    TiXmlPrinter printer;
    printer.SetLineBreak("\r\n");
    if (!document.Accept(&printer))
        return false;
    text = printer.Str();
    return !text.empty();
}

bool SVInterProcess::WriteAnswer(const SVAnswer& answer, LPCWSTR mappingName)
{
    std::string text;
    if (BuildAnswer(answer, text) && WriteTextToMapping(text, mappingName))
        return true;
    WriteLogLine(L"Cannot write answer to MMF\n");
    return false;
}

bool SVInterProcess::WriteTextToMapping(const std::string& text, LPCWSTR name)
{
    if (text.empty() || text.size() + 1 > IA::kMappingSize)
        return false;
    const DWORD bytes = static_cast<DWORD>(text.size() + 1);
    SECURITY_ATTRIBUTES attributes = {};
    const bool open = CreateOpenSecurityAttributes(&attributes);
    CKernelHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, open ? &attributes : nullptr,
                                               PAGE_READWRITE, 0, bytes, name));
    if (!mapping)
        return false;
    MappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, bytes));
    if (!view)
        return false;
    std::memcpy(view.get(), text.c_str(), bytes);
    ::FlushViewOfFile(view.get(), bytes);
    return ::UnmapViewOfFile(view.release()) != FALSE;
}
