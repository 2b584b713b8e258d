#include "common/html/HtmlRenderer.h"

#include "common/GdiObjectGuards.h"
#include "common/SharedLog.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>

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

void HtmlRenderer::UpdateSettings()
{
    m_settings.maxWidth = std::max(0, maxWidth);
    m_settings.tabWidth = std::max(1, tabWidth);
    m_settings.hoveredLink = m_hoveredLink;
    m_settings.module = m_module;
    m_settings.sheet = &m_sheet;
    m_settings.animations = &m_animations;
    m_settings.links = &m_links;
    m_settings.fonts = &m_fonts;
}

namespace
{
void ClearBoxes(html::HtmlNode& root)
{
    std::vector<html::HtmlNode*> pending{&root};
    while (!pending.empty()) {
        html::HtmlNode* node = pending.back();
        pending.pop_back();
        node->boxes.clear();
        for (auto& child : node->children)
            pending.push_back(child.get());
    }
}
} // namespace

SIZE HtmlRenderer::Layout(HDC dc)
{
    m_placed = false;
    ++m_settings.placeStamp; // the page's element boxes go stale with the layout
    m_flow.Clear();
    m_layouter.reset();
    m_links.clear();
    if (!m_page && m_text.empty())
        return SIZE{0, 0};
    std::optional<WindowDC> screen;
    if (!dc) {
        screen.emplace(nullptr);
        dc = screen->get();
    }
    UpdateSettings();
    m_laidOutWidth = maxWidth;
    m_laidOutHover = m_hoveredLink;
    m_layouter = std::make_unique<html::Layouter>(m_settings);
    if (m_page)
        m_layouter->LayoutPage(dc, *m_page, m_placeholder, m_flow);
    else
        m_layouter->LayoutRoot(dc, m_document.Root(), m_flow);
    int width = m_flow.width;
    if (maxWidth > 0)
        width = std::min(width, maxWidth);
    return SIZE{width, m_flow.height};
}

bool HtmlRenderer::NeedsLayout() const
{
    return !m_layouter || m_laidOutWidth != maxWidth || m_laidOutHover != m_hoveredLink;
}

SIZE HtmlRenderer::Measure(HDC dc, const std::wstring& text)
{
    m_page = nullptr;
    m_placeholder = nullptr;
    if (&text == &m_text) {
        const std::wstring copy = text;
        html::PrepareMarkup(copy, m_text);
    } else {
        html::PrepareMarkup(text, m_text); // the room of the last text serves again
    }
    m_document.Clear();
    m_links.clear();
    m_animations.clear();
    m_layouter.reset();
    if (m_text.empty() || !dc) {
        m_text.clear();
        return SIZE{0, 0};
    }
    m_document.ParseBody(m_text);
    const SIZE size = Layout(dc);
    if (m_flow.width == 0 && m_flow.height == 0) {
        m_text.clear();
        m_document.Clear();
        m_layouter.reset();
        return SIZE{0, 0};
    }
    return SIZE{size.cx + 1, size.cy + 1};
}

SIZE HtmlRenderer::MeasurePage(HDC dc, html::HtmlPage& page, const html::PagePlaceholder& placeholder)
{
    m_text.clear();
    m_document.Clear();
    m_animations.clear();
    m_page = &page;
    m_placeholder = placeholder;
    const SIZE size = Layout(dc);
    if (m_flow.width == 0 && m_flow.height == 0)
        return SIZE{0, 0};
    return SIZE{size.cx + 1, size.cy + 1};
}

void HtmlRenderer::Forget()
{
    m_page = nullptr;
    m_placeholder = nullptr;
    m_text.clear();
    m_document.Clear();
    m_links.clear();
    m_animations.clear();
    m_flow.Clear(); // its room serves the next layout
    m_layouter.reset();
    m_placed = false;
}

void HtmlRenderer::Place(const RECT& rect)
{
    if (NeedsLayout())
        Layout(nullptr);
    if (!m_layouter)
        return;
    if (m_placed && ::EqualRect(&m_placedAt, &rect))
        return;
    if (!m_page)
        ClearBoxes(m_document.Root());
    m_links.clear();
    ++m_settings.placeStamp; // the page's element boxes of the last placing go stale
    m_layouter->Place(m_flow, rect.left, rect.top, std::max<int>(rect.right - rect.left - 1, m_flow.width));
    m_placedAt = rect;
    m_placed = true;
}

void HtmlRenderer::Draw(HDC dc, const RECT& rect)
{
    if ((m_text.empty() && !m_page) || !dc)
        return;
    if (NeedsLayout())
        Layout(dc);
    Place(rect);
    if (m_layouter)
        m_layouter->Paint(dc, m_flow);
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
