#include "platform/hookdll/TargetQuery.h"

#include "platform/interchange/InterchangeArea.h"
#include "platform/hookdll/TargetSelection.h"

#include <cstdio>
#include <cstring>

namespace
{
using IA = InterchangeArea;

// The longest selection read from a control; the program copies longer ones itself.
constexpr int kMaxSelectionChars = 128 * 1024;

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                          nullptr, nullptr);
    return result;
}

int HandleValue(HWND window)
{
    return static_cast<int>(reinterpret_cast<LONG_PTR>(window));
}

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

std::wstring ClassNameOf(HWND window)
{
    wchar_t name[1024] = {};
    const int length = ::GetClassNameW(window, name, 1024);
    return std::wstring(name, length > 0 ? length : 0);
}

POINT QueryPoint(const GUITHREADINFO& info)
{
    POINT point = {info.rcCaret.left, info.rcCaret.bottom};
    if (info.hwndCaret && ::ClientToScreen(info.hwndCaret, &point))
        return point;
    if (::GetCursorPos(&point))
        return point;
    return POINT{-1, -1};
}

// Text for an XML attribute value or element: markup characters as entities,
// control characters as character references, NUL left out.
std::string Escaped(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&apos;";
            break;
        case '\0':
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char reference[8];
                std::snprintf(reference, sizeof(reference), "&#x%02X;", static_cast<unsigned>(c));
                result += reference;
            } else {
                result += c;
            }
        }
    }
    return result;
}

void AddAttribute(std::string& document, const char* name, int value)
{
    document += ' ';
    document += name;
    document += "=\"";
    document += std::to_string(value);
    document += '"';
}

void AddTextElement(std::string& document, const char* name, const std::string& text)
{
    document += '<';
    document += name;
    document += '>';
    document += Escaped(text);
    document += "</";
    document += name;
    document += '>';
}

std::string PrintQuery(HWND target, const GUITHREADINFO& info, const TargetSelection& selection)
{
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><";
    document += IA::kQueryRoot;
    const POINT point = QueryPoint(info);
    AddAttribute(document, IA::kQueryPointX, point.x);
    AddAttribute(document, IA::kQueryPointY, point.y);
    AddAttribute(document, IA::kQueryActive, HandleValue(info.hwndActive));
    AddAttribute(document, IA::kQueryCapture, HandleValue(info.hwndCapture));
    AddAttribute(document, IA::kQueryCaret, HandleValue(info.hwndCaret));
    AddAttribute(document, IA::kQueryFocus, HandleValue(info.hwndFocus));
    AddAttribute(document, IA::kQueryMenuOwner, HandleValue(info.hwndMenuOwner));
    document += '>';

    AddTextElement(document, IA::kQueryAppPath, Utf8(ModulePath()));
    AddTextElement(document, IA::kQueryClassName, Utf8(ClassNameOf(target)));
    AddTextElement(document, IA::kQueryWindow, std::to_string(HandleValue(target)));
    const DWORD layout = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(0)));
    AddTextElement(document, IA::kQueryLayoutHigh, std::to_string(HIWORD(layout)));
    AddTextElement(document, IA::kQueryLayoutLow, std::to_string(LOWORD(layout)));

    document += '<';
    document += IA::kQuerySelText;
    AddAttribute(document, IA::kQuerySelTextState, selection.state);
    document += '>';
    document += Escaped(Utf8(selection.text));
    document += "</";
    document += IA::kQuerySelText;
    document += "></";
    document += IA::kQueryRoot;
    document += '>';
    return document;
}

struct ViewCloser
{
    HANDLE mapping;
    void* view;
    ~ViewCloser()
    {
        if (view)
            ::UnmapViewOfFile(view);
        if (mapping)
            ::CloseHandle(mapping);
    }
};

bool SetNamedEvent(LPCWSTR name, bool set)
{
    HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (!event)
        return false;
    const BOOL done = set ? ::SetEvent(event) : ::ResetEvent(event);
    ::CloseHandle(event);
    return done != FALSE;
}
} // namespace

std::string BuildTargetQueryDocument(HWND target)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info)) {
        info = {};
        info.cbSize = sizeof(info);
    }
    const TargetSelection selection =
        ReadFocusedSelection(info.hwndFocus ? info.hwndFocus : ::GetFocus(), kMaxSelectionChars);
    std::string document = PrintQuery(target, info, selection);
    if (document.size() + 1 <= IA::kMaxTextBytes)
        return document;
    TargetSelection tooLong;
    tooLong.state = kSelTextStateFailed;
    return PrintQuery(target, info, tooLong);
}

bool WriteTargetQuery(const HookConfig& config, const std::string& document)
{
    if (document.empty() || document.size() + 1 > IA::kMaxTextBytes)
        return false;
    ViewCloser area{::OpenFileMappingW(FILE_MAP_WRITE, FALSE, config.mappingName), nullptr};
    if (!area.mapping)
        return false;
    area.view = ::MapViewOfFile(area.mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!area.view)
        return false;
    MEMORY_BASIC_INFORMATION info = {};
    if (::VirtualQuery(area.view, &info, sizeof(info)) != sizeof(info) ||
        info.RegionSize < document.size() + 1)
        return false;
    std::memcpy(area.view, document.c_str(), document.size() + 1);
    ::FlushViewOfFile(area.view, document.size() + 1);
    SetNamedEvent(config.dataCompletedEventName, false);
    return SetNamedEvent(config.dataNeededEventName, true);
}
