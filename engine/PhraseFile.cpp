#include "engine/PhraseFile.h"

#include "common/KernelHandle.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "engine/PhraseFileWriter.h"
#include "common/XmlInputChecks.h"

#include <tinyxml.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace
{

constexpr char kRootElement[] = "SCVCommand";
const std::string kLineBreak = "\r\n";

long long ReadIntegerAttribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value != nullptr ? std::strtoll(value, nullptr, 10) : 0;
}

int ClampToInt(long long value)
{
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

void ApplyAttributes(const TiXmlElement& root, PhraseItemRecord& record)
{
    record.included = ReadIntegerAttribute(root, "Excluded") == 0 ? 1 : 0;
    const long long usage = ReadIntegerAttribute(root, "UsageCount");
    record.usageCount = usage < 0 ? 0u : static_cast<unsigned int>(usage > UINT_MAX ? UINT_MAX : usage);
    record.disabledIsNoHasSelection = ReadIntegerAttribute(root, "DisabledIsNoHasSelection") != 0 ? 1 : 0;
    record.useTitleOnly = ReadIntegerAttribute(root, "UseTitleOnly") != 0 ? 1 : 0;
    record.sortId = ClampToInt(ReadIntegerAttribute(root, "SortID"));
    record.flagsMenu = ClampToInt(ReadIntegerAttribute(root, "FlagsMenu"));

    const char* date = root.Attribute("DateUsage");
    SYSTEMTIME usageDate{};
    if (date != nullptr && *date != '\0' && ParseUsageDate(date, usageDate)) {
        record.dateUsage = usageDate;
    }
}

bool ReadChildText(const TiXmlElement& root, const char* name, CString& out)
{
    return ReadPhraseElementText(root.FirstChildElement(name), out);
}

std::string FormatUnsigned(unsigned int value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%u", value);
    return text;
}

HANDLE OpenPhraseFileForRead(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool IsPhraseFileSizeAccepted(const wchar_t* path, unsigned long long size)
{
    if (size == 0) {
        return false;
    }
    if (size > kMaxPhraseFileSize) {
        CString line;
        line.Format(L"Phrase file skipped: %s is %I64u bytes, more than the phrase file limit", path, size);
        WriteLogLine(line);
        return false;
    }
    return true;
}

} // namespace

bool ReadPhraseFileBytes(const wchar_t* path, std::string& content)
{
    content.clear();
    CKernelHandle file(OpenPhraseFileForRead(path));
    if (!file) {
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || !IsPhraseFileSizeAccepted(path, size.QuadPart)) {
        return false;
    }
    content.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
        read != content.size()) {
        content.clear();
        return false;
    }
    return true;
}

bool ReadPhraseFileExactly(const wchar_t* path, char* buffer, size_t size)
{
    if (!IsPhraseFileSizeAccepted(path, size)) {
        return false;
    }
    CKernelHandle file(OpenPhraseFileForRead(path));
    if (!file) {
        return false;
    }
    // Asking for one byte more tells a file that grew since it was listed, without a second read: a
    // read from a disk file stops short only at its end.
    DWORD read = 0;
    const bool ok =
        ReadFile(file.Get(), buffer, static_cast<DWORD>(size) + 1, &read, nullptr) && read == size;
    if (read > size) {
        buffer[size] = '\0';
    }
    return ok;
}

bool ReadPhraseFile(PhraseItemRecord& record, const wchar_t* path)
{
    std::string content;
    return ReadPhraseFileBytes(path, content) && ParsePhraseDocument(record, content.c_str());
}

bool ParsePhraseDocument(PhraseItemRecord& record, const char* text)
{
    // A phrase file is a root and a few children: anything nested much deeper is damage, and
    // would overflow the stack of the recursive parser.
    if (!text || !IsXmlShapeWithin(text, kMaxPhraseFileSize, kMaxPhraseNesting, kMaxPhraseNodes)) {
        LogError(L"ParsePhraseDocument: the document nests too deep or holds too many elements, refused");
        return false;
    }
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(text, guarded), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.FirstChildElement(kRootElement);
    if (document.Error() || root == nullptr) {
        return false;
    }
    // Everything that can fail is checked before the record changes: a damaged file is never
    // half-loaded.
    CString title;
    if (!ReadChildText(*root, "MenuName", title)) {
        return false;
    }
    ApplyAttributes(*root, record);
    record.SetTitle(title);

    CString value;

    record.dataType =
        ReadChildText(*root, "DataType", value) ? PhraseDataTypeFromText(value) : MenuItemRecord::kTypeText;
    if (ReadChildText(*root, "Cmd", value)) {
        record.body = value;
    }
    if (ReadChildText(*root, "Hint", value)) {
        record.SetHint(value);
    }
    return true;
}

std::string RaisePhraseUsage(const std::string& text, const SYSTEMTIME& date, unsigned int* newCount)
{
    if (!IsXmlNestingWithin(text.c_str(), text.size(), kMaxPhraseNesting)) {
        return std::string();
    }
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(text.c_str(), guarded), nullptr, TIXML_ENCODING_UTF8);
    TiXmlElement* root = document.FirstChildElement(kRootElement);
    if (document.Error() || root == nullptr) {
        return std::string();
    }
    const long long usage = ReadIntegerAttribute(*root, "UsageCount");
    const unsigned int count =
        usage < 0 ? 1u : (usage >= UINT_MAX ? UINT_MAX : static_cast<unsigned int>(usage) + 1u);
    root->SetAttribute("UsageCount", FormatUnsigned(count));
    root->SetAttribute("DateUsage", FormatUsageDate(date));
    if (newCount != nullptr) {
        *newCount = count;
    }
    TiXmlPrinter printer;
    printer.SetLineBreak(kLineBreak.c_str());
    if (!document.Accept(&printer)) {
        return std::string();
    }
    return printer.Str();
}

std::string BuildPhraseXml(const PhraseItemRecord& record)
{
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", "yes"));
    auto* root = new TiXmlElement(kRootElement);
    document.LinkEndChild(root);

    if (!record.HasIncludedContent()) {
        root->SetAttribute("Excluded", "1");
    }
    root->SetAttribute("UsageCount", FormatUnsigned(record.usageCount));
    root->SetAttribute("DisabledIsNoHasSelection", record.disabledIsNoHasSelection != 0 ? "1" : "0");
    root->SetAttribute("UseTitleOnly", record.useTitleOnly);
    root->SetAttribute("SortID", record.sortId);
    root->SetAttribute("FlagsMenu", record.flagsMenu);
    if (!record.IsFolder() && record.HasUsageDate()) {
        root->SetAttribute("DateUsage", FormatUsageDate(record.dateUsage));
    }
    if (!record.IsFolder()) {
        AddPhraseTextElement(root, "MenuName", record.title);
        AddPhraseTextElement(root, "DataType", PhraseDataTypeToText(record.dataType));
        AddPhraseTextElement(root, "Cmd", record.body);
        AddPhraseTextElement(root, "Hint", record.hint);
    }

    TiXmlPrinter printer;
    printer.SetLineBreak(kLineBreak.c_str());
    if (!document.Accept(&printer)) {
        return std::string();
    }
    return printer.Str();
}

bool SavePhraseFile(const PhraseItemRecord& record, const wchar_t* path)
{
    const std::string bytes = BuildPhraseXml(record);
    if (bytes.empty()) {
        WriteLogLine(L"ERROR: cannot create XML for command");
        return false;
    }
    if (!WritePhraseFileBytes(path, bytes)) {
        LogPhraseFileWriteError(GetLastError());
        return false;
    }
    return true;
}

bool ParseUsageDate(const char* text, SYSTEMTIME& out)
{
    out = SYSTEMTIME{};
    WORD* const fields[] = {&out.wYear, &out.wMonth, &out.wDay, &out.wHour, &out.wMinute, &out.wSecond};
    const char* cursor = text != nullptr ? text : "";
    for (WORD* field : fields) {
        char* end = nullptr;
        const long value = std::strtol(cursor, &end, 10);
        if (end == cursor) {
            break;
        }
        *field = static_cast<WORD>(value);
        cursor = end;
        if (*cursor != '|') {
            break;
        }
        ++cursor;
    }
    return out.wYear != 0;
}

std::string FormatUsageDate(const SYSTEMTIME& date)
{
    char text[96];
    std::snprintf(text, sizeof(text), "%d|%d|%d|%d|%d|%d", date.wYear, date.wMonth, date.wDay, date.wHour,
                  date.wMinute, date.wSecond);
    return text;
}

int PhraseDataTypeFromText(const wchar_t* text)
{
    if (text == nullptr) {
        return MenuItemRecord::kTypeText;
    }
    if (CompareStringOrdinal(text, -1, L"RTF", -1, TRUE) == CSTR_EQUAL) {
        return MenuItemRecord::kTypeRtf;
    }
    if (CompareStringOrdinal(text, -1, L"EXEC", -1, TRUE) == CSTR_EQUAL) {
        return MenuItemRecord::kTypeExec;
    }
    return MenuItemRecord::kTypeText;
}

const wchar_t* PhraseDataTypeToText(int type)
{
    switch (type) {
    case MenuItemRecord::kTypeRtf:
        return L"RTF";
    case MenuItemRecord::kTypeExec:
        return L"EXEC";
    default:
        return L"TEXT";
    }
}

bool ReadPhraseElementText(const TiXmlElement* element, CString& out)
{
    if (element == nullptr) {
        return false;
    }
    const TiXmlNode* child = element->FirstChild();
    if (child == nullptr || child->ToText() == nullptr) {
        return false;
    }
    out = Utf8ToWide(child->Value());
    UnescapePhraseText(out);
    return true;
}

void AddPhraseTextElement(TiXmlElement* parent, const char* name, const wchar_t* text)
{
    auto* element = new TiXmlElement(name);
    element->LinkEndChild(new TiXmlText(WideToUtf8(text)));
    parent->LinkEndChild(element);
}

void UnescapePhraseText(CString& text)
{
    if (text.Find(L'&') < 0) {
        return;
    }
    text.Replace(L"&lt;", L"<");
    text.Replace(L"&gt;", L">");
    text.Replace(L"&quote;", L"\"");
}
