#include "common/html/HtmlRenderer.h"

#include "common/SharedLog.h"

#include <shellapi.h>

#include <algorithm>

namespace
{

std::wstring ReadDefaultValue(HKEY root, const std::wstring& subKey)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    LONG result = ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    return buffer;
}

HCURSOR LoadHelpHandCursor()
{
    wchar_t folder[MAX_PATH] = {};
    if (!::GetWindowsDirectoryW(folder, MAX_PATH))
        return nullptr;
    std::wstring path = std::wstring(folder) + L"\\winhlp32.exe";
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return nullptr;
    HCURSOR cursor = nullptr;
    if (HCURSOR loaded = ::LoadCursorW(module, MAKEINTRESOURCEW(106)))
        cursor = static_cast<HCURSOR>(::CopyImage(loaded, IMAGE_CURSOR, 0, 0, 0));
    ::FreeLibrary(module);
    return cursor;
}

bool RunCommandLine(const std::wstring& command)
{
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool ShellOpen(const std::wstring& link)
{
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", link.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

HtmlRenderer::HtmlRenderer() : m_sheet(html::ParseStyleSheet(html::DefaultStyleSheetText()))
{
    m_module = ::GetModuleHandleW(nullptr);
    m_handCursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (!m_handCursor) {
        m_handCursor = LoadHelpHandCursor();
        m_ownsCursor = m_handCursor != nullptr;
    }
}

HtmlRenderer::~HtmlRenderer()
{
    if (m_ownsCursor)
        ::DestroyCursor(m_handCursor);
}

html::LayoutSettings HtmlRenderer::Settings()
{
    html::LayoutSettings settings;
    settings.maxWidth = std::max(0, maxWidth);
    settings.tabWidth = std::max(1, tabWidth);
    settings.hoveredLink = m_hoveredLink;
    settings.module = m_module;
    settings.sheet = &m_sheet;
    settings.animations = &m_animations;
    settings.links = &m_links;
    return settings;
}

namespace
{
void ClearBoxes(html::HtmlNode& node)
{
    node.boxes.clear();
    for (auto& child : node.children)
        ClearBoxes(*child);
}
} // namespace

SIZE HtmlRenderer::Measure(HDC dc, const std::wstring& text)
{
    m_text = html::PrepareMarkup(text);
    m_document.Clear();
    m_links.clear();
    m_animations.clear();
    if (m_text.empty() || !dc) {
        m_text.clear();
        return SIZE{0, 0};
    }
    m_document.Parse(L"<body>" + m_text + L"</body>");
    html::LayoutSettings settings = Settings();
    html::Layouter layouter(dc, settings, true);
    html::LayoutFlow flow = layouter.LayoutRoot(m_document.Root());
    if (flow.width == 0 && flow.height == 0) {
        m_text.clear();
        m_document.Clear();
        return SIZE{0, 0};
    }
    int width = flow.width;
    if (maxWidth > 0)
        width = std::min(width, maxWidth);
    return SIZE{width + 1, flow.height + 1};
}

void HtmlRenderer::Draw(HDC dc, const RECT& rect)
{
    if (m_text.empty() || !dc)
        return;
    ClearBoxes(m_document.Root());
    html::LayoutSettings settings = Settings();
    html::Layouter layouter(dc, settings, false);
    html::LayoutFlow flow = layouter.LayoutRoot(m_document.Root());
    layouter.Place(flow, rect.left, rect.top, std::max<int>(rect.right - rect.left - 1, flow.width));
    layouter.Paint(flow);
}

void HtmlRenderer::SetNotify(HWND window, UINT message, LPARAM lParam)
{
    m_notifyWindow = window;
    m_notifyMessage = window ? message : 0;
    m_notifyParam = window ? lParam : 0;
}

const html::HyperlinkPiece* HtmlRenderer::HitTest(POINT point) const
{
    for (const html::HyperlinkPiece& piece : m_links) {
        const RECT& r = piece.rect;
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom)
            return &piece;
    }
    return nullptr;
}

bool HtmlRenderer::SetCursorAt(POINT point)
{
    const html::HyperlinkPiece* hit = HitTest(point);
    int index = hit ? hit->index : -2;
    if (index != m_hoveredLink) {
        m_hoveredLink = index;
        if (m_notifyWindow)
            ::SendMessageW(m_notifyWindow, m_notifyMessage, static_cast<WPARAM>(index), m_notifyParam);
    }
    if (!hit || hit->text.empty() || !m_handCursor)
        return false;
    ::SetCursor(m_handCursor);
    return true;
}

void HtmlRenderer::ClickAt(POINT point)
{
    const html::HyperlinkPiece* hit = HitTest(point);
    if (!hit || hit->text.empty() || hit->kind != 1)
        return;
    std::wstring link = hit->text;
    if (m_handCursor)
        ::SetCursor(m_handCursor);
    OpenLink(link);
}

bool HtmlRenderer::AdvanceAnimations()
{
    bool changed = false;
    for (html::AnimationEntry& entry : m_animations) {
        if (entry.frameCount <= 0)
            continue;
        if (++entry.tick < entry.ticksPerFrame)
            continue;
        entry.tick = 0;
        entry.frame = (entry.frame + 1) % entry.frameCount;
        changed = true;
    }
    return changed;
}

std::wstring HtmlRenderer::BrowserCommandFor(const std::wstring& command, const std::wstring& link)
{
    if (command.empty() || link.find(L'"') != std::wstring::npos)
        return std::wstring();
    std::wstring cut = command;
    size_t marker = cut.find(L"%1");
    if (marker != std::wstring::npos) {
        size_t from = marker;
        size_t to = marker + 2;
        if (from > 0 && cut[from - 1] == L'"' && to < cut.size() && cut[to] == L'"') {
            --from;
            ++to;
        }
        cut.erase(from);
    }
    while (!cut.empty() && cut.back() == L' ')
        cut.pop_back();
    return cut + L" \"" + link + L"\"";
}

bool HtmlRenderer::OpenLink(const std::wstring& link, HKEY classesRoot,
                            const std::function<bool(const std::wstring&)>& run,
                            const std::function<bool(const std::wstring&)>& shellOpen)
{
    if (shellOpen ? shellOpen(link) : ShellOpen(link))
        return true;
    std::wstring type = ReadDefaultValue(classesRoot, L".htm");
    if (type.empty())
        return false;
    std::wstring command =
        BrowserCommandFor(ReadDefaultValue(classesRoot, type + L"\\shell\\open\\command"), link);
    if (command.empty()) {
        LogError(L"Link not opened: no browser command or the address holds a quote");
        return false;
    }
    return run ? run(command) : RunCommandLine(command);
}
