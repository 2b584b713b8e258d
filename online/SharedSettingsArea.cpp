#include "online/SharedSettingsArea.h"

#include "common/XmlInputChecks.h"

#include "common/KernelHandle.h"
#include "common/SecurityInfo.h"
#include "common/SlimLock.h"
#include "common/TextConversion.h"
#include "common/WellKnownNames.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
const char kRootElement[] = "ScrivolanterSettings";
const char kSelTextElement[] = "SelText";
const char kKeyAttribute[] = "HotKey_Key";
const char kModAttribute[] = "HotKey_Mod";
const char kDoubleAttribute[] = "Double";
const std::string kIndent = "    ";
const std::string kLineBreak = "\r\n";

// A mapped view of a file mapping, unmapped when the object goes away.
class CMappedView
{
public:
    CMappedView(HANDLE mapping, DWORD access, SIZE_T bytes)
        : m_view(::MapViewOfFile(mapping, access, 0, 0, bytes))
    {}
    ~CMappedView()
    {
        if (m_view)
            ::UnmapViewOfFile(m_view);
    }
    CMappedView(const CMappedView&) = delete;
    CMappedView& operator=(const CMappedView&) = delete;

    void* Get() const { return m_view; }
    // Unmaps now; true when the view was mapped and is unmapped.
    bool Unmap() { return m_view && ::UnmapViewOfFile(std::exchange(m_view, nullptr)); }

private:
    void* m_view;
};

// The writer's mapping, kept open from the first write on.
struct AreaState
{
    CSlimLock lock;
    CKernelHandle mapping;
};

AreaState& State()
{
    static AreaState state;
    return state;
}

HANDLE CreateAreaMapping()
{
    SECURITY_ATTRIBUTES attributes = {};
    const bool open = CreateOpenSecurityAttributes(&attributes);
    return ::CreateFileMappingW(INVALID_HANDLE_VALUE, open ? &attributes : nullptr, PAGE_READWRITE, 0,
                                kSharedSettingsAreaSize, GetSettingAreaMappingName());
}

bool IsReadableProtection(DWORD protect)
{
    if (protect & (PAGE_GUARD | PAGE_NOACCESS))
        return false;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (protect & readable) != 0;
}

int IntAttribute(const TiXmlElement& element, const char* name)
{
    int value = 0;
    if (element.QueryIntAttribute(name, &value) != TIXML_SUCCESS)
        return 0;
    return value;
}
} // namespace

std::string BuildSharedSettingsXml(UINT virtualKey, UINT modifiers, bool doublePress, LPCWSTR selectedText)
{
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
    auto* root = new TiXmlElement(kRootElement);
    root->SetAttribute(kKeyAttribute, static_cast<int>(virtualKey));
    root->SetAttribute(kModAttribute, static_cast<int>(modifiers));
    root->SetAttribute(kDoubleAttribute, doublePress ? 1 : 0);
    if (selectedText && *selectedText) {
        auto* selText = new TiXmlElement(kSelTextElement);
        selText->LinkEndChild(new TiXmlText(WideToUtf8(selectedText)));
        root->LinkEndChild(selText);
    }
    document.LinkEndChild(root);

    TiXmlPrinter printer;
    printer.SetIndent(kIndent.c_str());
    printer.SetLineBreak(kLineBreak.c_str());
    if (!document.Accept(&printer))
        return {};
    return printer.Str();
}

std::string BuildFittingSharedSettingsXml(UINT virtualKey, UINT modifiers, bool doublePress,
                                          LPCWSTR selectedText)
{
    const auto build = [&](LPCWSTR text) {
        return BuildSharedSettingsXml(virtualKey, modifiers, doublePress, text);
    };
    const auto fits = [](const std::string& document) {
        return document.size() + 1 <= kSharedSettingsAreaSize;
    };
    std::string document = build(selectedText);
    if (fits(document) || !selectedText || !*selectedText)
        return document;
    // Every character takes at least one byte: more than the area's size never fits. The cut
    // mark alone always does, so the search keeps `fitting` fitting and `tooLong` too long.
    const std::wstring text(selectedText);
    const auto cut = [&text](size_t chars) { return CutSelectedText(text, chars); };
    size_t fitting = 0;
    size_t tooLong = std::min<size_t>(text.size(), kSharedSettingsAreaSize);
    while (tooLong - fitting > 1) {
        const size_t middle = fitting + (tooLong - fitting) / 2;
        if (fits(build(cut(middle).c_str())))
            fitting = middle;
        else
            tooLong = middle;
    }
    return build(cut(fitting).c_str());
}

std::wstring CutSelectedText(const std::wstring& text, size_t chars)
{
    size_t kept = std::min(chars, text.size());
    // A surrogate pair stays whole or goes whole.
    if (kept > 0 && kept < text.size() && IS_HIGH_SURROGATE(text[kept - 1]))
        --kept;
    return text.substr(0, kept) + kSelectionCutMark;
}

bool WriteSharedSettingsArea(UINT virtualKey, UINT modifiers, bool doublePress, LPCWSTR selectedText)
{
    const std::string document =
        BuildFittingSharedSettingsXml(virtualKey, modifiers, doublePress, selectedText);
    if (document.empty() || document.size() + 1 > kSharedSettingsAreaSize)
        return false;

    AreaState& state = State();
    CSlimLockGuard guard(state.lock);
    if (!state.mapping)
        state.mapping.Reset(CreateAreaMapping());
    if (!state.mapping)
        return false;

    const SIZE_T bytes = document.size() + 1;
    CMappedView view(state.mapping.Get(), FILE_MAP_WRITE, bytes);
    if (!view.Get())
        return false;
    std::memcpy(view.Get(), document.c_str(), bytes); // the string's terminator included
    ::FlushViewOfFile(view.Get(), bytes);
    return view.Unmap();
}

void CloseSharedSettingsArea()
{
    AreaState& state = State();
    CSlimLockGuard guard(state.lock);
    state.mapping.Reset();
}

std::string ReadTerminatedTextInView(const void* view, size_t maxBytes)
{
    if (!view)
        return {};
    MEMORY_BASIC_INFORMATION info = {};
    if (::VirtualQuery(view, &info, sizeof(info)) != sizeof(info))
        return {};
    if (info.State != MEM_COMMIT || !IsReadableProtection(info.Protect))
        return {};
    const auto* text = static_cast<const char*>(view);
    const auto* regionEnd = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (text >= regionEnd)
        return {};
    const size_t available = static_cast<size_t>(regionEnd - text);
    const size_t limit = std::min(available, maxBytes + 1);
    const void* terminator = std::memchr(text, 0, limit);
    if (!terminator)
        return {};
    const size_t length = static_cast<size_t>(static_cast<const char*>(terminator) - text);
    if (length == 0 || length > maxBytes)
        return {};
    return std::string(text, length);
}

std::string ReadSharedSettingsAreaText()
{
    CKernelHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, GetSettingAreaMappingName()));
    if (!mapping)
        return {};
    CMappedView view(mapping.Get(), FILE_MAP_READ, 0);
    return ReadTerminatedTextInView(view.Get(), kSharedSettingsMaxTextBytes);
}

// The area holds one element with a few children: anything deeper is damage.
constexpr int kMaxSharedSettingsNesting = 16;

bool ParseSharedSettingsXml(const std::string& text, const SharedSettingsValues& values)
{
    if (text.empty() || !IsXmlNestingWithin(text.c_str(), text.size(), kMaxSharedSettingsNesting))
        return false;
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(text.c_str(), guarded), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.FirstChildElement(kRootElement);
    if (!root)
        return false;

    if (values.virtualKey)
        *values.virtualKey = static_cast<WORD>(IntAttribute(*root, kKeyAttribute));
    if (values.modifiers)
        *values.modifiers = static_cast<WORD>(IntAttribute(*root, kModAttribute));
    if (values.doublePress)
        *values.doublePress = IntAttribute(*root, kDoubleAttribute) != 0 ? 1 : 0;
    if (values.selectedText) {
        if (const TiXmlElement* selText = root->FirstChildElement(kSelTextElement)) {
            const char* utf8 = selText->GetText();
            *values.selectedText = utf8 ? Utf8ToWide(utf8) : CString();
        }
    }
    return true;
}

bool ReadSharedSettingsArea(const SharedSettingsValues& values)
{
    return ParseSharedSettingsXml(ReadSharedSettingsAreaText(), values);
}

CString GetSelectedTextFromMainProgram()
{
    CString text;
    SharedSettingsValues values;
    values.selectedText = &text;
    ReadSharedSettingsArea(values);
    return text;
}
