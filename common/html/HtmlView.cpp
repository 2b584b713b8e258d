#include "common/html/HtmlView.h"

#include "common/FileBytes.h"
#include "common/GdiObjectGuards.h"
#include "common/SharedLog.h"
#include "common/html/HtmlPage.h"
#include "common/html/HtmlRenderer.h"
#include "common/html/PagePicture.h"
#include "platform/ExceptionBoundary.h"

#include <commctrl.h>
#include "platform/WindowsX.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Style sheets and pages read from this machine.
constexpr unsigned long long kLargestLocalFile = 4 * 1024 * 1024;

const wchar_t kClassName[] = L"ScvHtmlLayoutView";
const UINT kHoverMessage = WM_APP + 0x40;
const int kUpDownWidth = 16;
const int kFirstControlId = 0x4000;
const int kLineStep = 20;

struct AttachedHandler
{
    HtmlEventProc proc = nullptr;
    LPVOID tag = nullptr;
    UINT subscription = 0;
};

struct ViewState
{
    HWND window = nullptr;
    html::HtmlPage page;
    HtmlRenderer renderer;
    bool pageDirty = true; // the page changed since its placeholders were made
    std::map<const html::PageElement*, HBITMAP> placeholderOf;
    std::wstring base;
    std::wstring source; // the page last loaded, decoded (kept for its room)
    HtmlViewNotify callback = nullptr;
    LPVOID callbackParam = nullptr;
    std::vector<AttachedHandler> handlers;
    std::map<std::wstring, std::string> received; // answers of HLN_LOAD_DATA
    std::vector<GdiObject<HBITMAP>> placeholders;
    std::vector<GdiObject<HFONT>> fonts;
    GdiObject<HBRUSH> background;
    COLORREF backgroundColor = RGB(255, 255, 255);
    int margin = 8;
    int scrollY = 0;
    int contentHeight = 0;
    int nextControlId = kFirstControlId;
    // The elements standing for the windows of controls, in the order they were made.
    std::vector<html::PageElement*> controls;
    // Where pages are measured: made once, as the screen's (a screen DC taken
    // for each layout costs the system more than laying out a small page).
    MemoryDC measuring{nullptr};
    html::PageElement* pressedLink = nullptr;
    unsigned generation = 0;
};

ViewState* StateOf(HWND window)
{
    if (!window || !::IsWindow(window))
        return nullptr;
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wcscmp(name, kClassName) != 0)
        return nullptr;
    return reinterpret_cast<ViewState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

html::PageElement* Element(HELEMENT he)
{
    return reinterpret_cast<html::PageElement*>(he);
}

HELEMENT Handle(html::PageElement* element)
{
    return reinterpret_cast<HELEMENT>(element);
}

// The view that holds the element: the root's owner window.
ViewState* StateOfElement(const html::PageElement* element)
{
    while (element && element->parent)
        element = element->parent;
    return element ? StateOf(element->ControlWindow()) : nullptr;
}

std::wstring Wide(LPCSTR text)
{
    std::wstring wide;
    for (; text && *text; ++text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

// Decodes UTF-8 (a byte order mark skipped) into `text`, which keeps its
// room: a view loading pages again decodes them into the same buffer.
void DecodeUtf8(const BYTE* data, size_t size, std::wstring& text)
{
    text.clear();
    if (!data || size == 0)
        return;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        data += 3;
        size -= 3;
    }
    // ASCII bytes stand for themselves and never belong to a longer
    // sequence: they are copied as they are up to the first other byte, and
    // the system decodes the rest (most pages are ASCII for the most part).
    size_t ascii = 0;
    // Eight bytes at a time while none has its high bit set.
    for (std::uint64_t word = 0; ascii + sizeof(word) <= size; ascii += sizeof(word)) {
        std::memcpy(&word, data + ascii, sizeof(word));
        if (word & 0x8080808080808080ull)
            break;
    }
    while (ascii < size && data[ascii] < 0x80)
        ++ascii;
    const char* rest = reinterpret_cast<const char*>(data + ascii);
    const int restSize = static_cast<int>(size - ascii);
    const int count = restSize > 0 ? ::MultiByteToWideChar(CP_UTF8, 0, rest, restSize, nullptr, 0) : 0;
    if (count < 0 || (restSize > 0 && count == 0))
        return;
    text.resize(ascii + static_cast<size_t>(count));
    std::copy(data, data + ascii, text.begin());
    if (count > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, rest, restSize, text.data() + ascii, count);
}

std::wstring FromUtf8(const BYTE* data, size_t size)
{
    std::wstring text;
    DecodeUtf8(data, size, text);
    return text;
}

bool IsAbsoluteAddress(const std::wstring& uri)
{
    return uri.find(L"://") != std::wstring::npos || uri.rfind(L"\\\\", 0) == 0 ||
           (uri.size() > 2 && uri[1] == L':') || uri.rfind(L"res:", 0) == 0;
}

std::wstring Resolve(const std::wstring& base, const std::wstring& uri)
{
    if (base.empty() || IsAbsoluteAddress(uri))
        return uri;
    wchar_t separator = base.find(L"://") != std::wstring::npos ? L'/' : L'\\';
    std::wstring joined = base;
    if (joined.back() != L'/' && joined.back() != L'\\')
        joined += separator;
    return joined + uri;
}

HFONT CreateStyleFont(const html::ComputedStyle& style)
{
    return ::CreateFontW(-style.fontPixels, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, style.italic, FALSE,
                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, style.face.c_str());
}

SIZE TextSize(HFONT font, const std::wstring& text)
{
    WindowDC screen(nullptr);
    HGDIOBJ old = ::SelectObject(screen.get(), font);
    SIZE size{};
    std::wstring measured = text.empty() ? std::wstring(L"0") : text;
    ::GetTextExtentPoint32W(screen.get(), measured.c_str(), static_cast<int>(measured.size()), &size);
    ::SelectObject(screen.get(), old);
    if (text.empty())
        size.cx = 0;
    return size;
}

BOOL Fire(ViewState& state, html::PageElement* target, UINT group, UINT cmd, POINT pos, bool& consumed)
{
    consumed = false;
    unsigned generation = state.generation;
    std::vector<AttachedHandler> handlers = state.handlers;
    for (int pass = 0; pass < 2 && !consumed; ++pass) {
        UINT type = pass == 0 ? (cmd | SINKING) : cmd;
        for (const AttachedHandler& handler : handlers) {
            if (!(handler.subscription & group) || !handler.proc)
                continue;
            BOOL handled = FALSE;
            if (group == HANDLE_MOUSE) {
                MOUSE_PARAMS params{type, Handle(target), pos, MAIN_MOUSE_BUTTON};
                handled = handler.proc(handler.tag, Handle(target), group, &params);
            } else {
                BEHAVIOR_EVENT_PARAMS params{type, Handle(target), Handle(target), 0};
                handled = handler.proc(handler.tag, Handle(target), group, &params);
            }
            if (!::IsWindow(state.window) || generation != state.generation) {
                consumed = true; // the page went away inside the handler
                return FALSE;
            }
            if (handled) {
                consumed = true;
                break;
            }
        }
    }
    return TRUE;
}

html::PageElement* BodyOf(ViewState& state)
{
    html::PageElement* body = nullptr;
    state.page.Visit([&](html::PageElement& element) {
        if (element.tag == L"body")
            body = &element;
        return body != nullptr;
    });
    return body ? body : &state.page.Root();
}

// Where a marked element (an anchor, link, control or element with an id)
// was placed: what it and its descendants drew.
RECT ElementRect(ViewState& state, const html::PageElement& element)
{
    RECT rect{};
    if (element.marker < 0)
        return rect;
    const unsigned stamp = state.renderer.PlaceStamp();
    bool any = false;
    std::vector<const html::PageElement*> pending{&element};
    while (!pending.empty()) {
        const html::PageElement* current = pending.back();
        pending.pop_back();
        if (current->boxStamp == stamp) {
            if (!any)
                rect = current->box;
            else
                ::UnionRect(&rect, &rect, &current->box);
            any = true;
        }
        for (auto child = current->children.rbegin(); child != current->children.rend(); ++child)
            pending.push_back(child->get());
    }
    return rect;
}

void DestroyControls(ViewState& state)
{
    for (html::PageElement* element : state.controls) {
        html::PageElementExtras& extras = element->Extras();
        if (extras.control && ::IsWindow(extras.control))
            ::DestroyWindow(extras.control);
        if (extras.buddy && ::IsWindow(extras.buddy))
            ::DestroyWindow(extras.buddy);
        extras.control = nullptr;
        extras.buddy = nullptr;
    }
    state.controls.clear();
    state.placeholders.clear();
    state.placeholderOf.clear();
    state.fonts.clear();
}

void CreateControl(ViewState& state, html::PageElement& element)
{
    html::ComputedStyle style = state.page.StyleOf(element);
    HFONT font = CreateStyleFont(style);
    if (font)
        state.fonts.emplace_back(font);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(state.window, GWLP_HINSTANCE));
    int id = state.nextControlId++;
    html::PageElementExtras& extras = element.Extras();
    SIZE text = TextSize(font, element.Control() == html::ControlKind::CheckBox ? element.InnerText() : L"0");
    if (element.Control() == html::ControlKind::CheckBox) {
        extras.control = ::CreateWindowExW(
            0, L"BUTTON", element.InnerText().c_str(), WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 0, 0,
            state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        extras.controlSize = SIZE{text.cx + 24, std::max<LONG>(18, text.cy + 4)};
        ::SendMessageW(extras.control, BM_SETCHECK, (element.state & html::kStateChecked) ? BST_CHECKED : 0,
                       0);
    } else {
        int chars =
            std::clamp(static_cast<int>(std::wcstol(element.Attribute(L"size").c_str(), nullptr, 10)), 1, 40);
        if (element.Attribute(L"size").empty())
            chars = 4;
        extras.control =
            ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", element.Attribute(L"value").c_str(),
                              WS_CHILD | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0, 0, 0, 0, state.window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        extras.buddy = ::CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                         WS_CHILD | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT, 0, 0,
                                         0, 0, state.window, nullptr, instance, nullptr);
        int low = static_cast<int>(std::wcstol(element.Attribute(L"minvalue").c_str(), nullptr, 10));
        std::wstring maxText = element.Attribute(L"maxvalue");
        int high = maxText.empty() ? 0x7FFFFFFF : static_cast<int>(std::wcstol(maxText.c_str(), nullptr, 10));
        if (extras.buddy) {
            ::SendMessageW(extras.buddy, UDM_SETBUDDY, reinterpret_cast<WPARAM>(extras.control), 0);
            ::SendMessageW(extras.buddy, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
            ::SendMessageW(
                extras.buddy, UDM_SETPOS32, 0,
                static_cast<LPARAM>(std::wcstol(element.Attribute(L"value").c_str(), nullptr, 10)));
        }
        extras.controlSize = SIZE{text.cx * chars + 10 + kUpDownWidth, text.cy + 8};
    }
    if (extras.control || extras.buddy)
        state.controls.push_back(&element);
    if (extras.control && font)
        ::SendMessageW(extras.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (extras.control && (element.state & html::kStateDisabled))
        ::EnableWindow(extras.control, FALSE);
    if (extras.buddy && (element.state & html::kStateDisabled))
        ::EnableWindow(extras.buddy, FALSE);
}

int PixelAttribute(const html::PageElement& element, const wchar_t* name)
{
    const std::wstring value = element.Attribute(name);
    return value.empty() ? 0 : std::max(0, _wtoi(value.c_str()));
}

HBITMAP Picture(ViewState& state, html::PageElement& element)
{
    const std::wstring path = html::LocalPicturePath(Resolve(state.base, element.Attribute(L"src")));
    HBITMAP bitmap = html::LoadPagePicture(path, PixelAttribute(element, L"width"),
                                           PixelAttribute(element, L"height"), state.backgroundColor);
    if (bitmap)
        state.placeholders.emplace_back(bitmap);
    return bitmap;
}

HBITMAP MakePlaceholder(ViewState& state, html::PageElement& element)
{
    if (element.tag == L"img")
        return element.Attribute(L"src").empty() ? nullptr : Picture(state, element);
    if (!element.ControlWindow())
        CreateControl(state, element);
    SIZE size = element.Extras().controlSize;
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    WindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.get(), size.cx, size.cy);
    if (!bitmap)
        return nullptr;
    HDC memory = ::CreateCompatibleDC(screen.get());
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(memory, &all, state.background.get());
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    state.placeholders.emplace_back(bitmap);
    return bitmap;
}

// The bitmap standing for a picture or control, made once for each page change.
HBITMAP Placeholder(ViewState& state, html::PageElement& element)
{
    auto found = state.placeholderOf.find(&element);
    if (found != state.placeholderOf.end())
        return found->second;
    HBITMAP bitmap = MakePlaceholder(state, element);
    state.placeholderOf.emplace(&element, bitmap);
    return bitmap;
}

void PlaceControls(ViewState& state)
{
    for (html::PageElement* placed : state.controls) {
        html::PageElement& element = *placed;
        HWND control = element.ControlWindow();
        HWND buddy = element.BuddyWindow();
        if (!control)
            continue;
        RECT rect = ElementRect(state, element);
        bool visible = rect.right > rect.left;
        int width = rect.right - rect.left;
        int height = rect.bottom - rect.top;
        if (buddy) {
            ::MoveWindow(control, rect.left, rect.top, std::max(0, width - kUpDownWidth), height, TRUE);
            ::MoveWindow(buddy, rect.right - kUpDownWidth, rect.top, kUpDownWidth, height, TRUE);
            ::ShowWindow(buddy, visible ? SW_SHOWNA : SW_HIDE);
        } else {
            ::MoveWindow(control, rect.left, rect.top, width, height, TRUE);
        }
        ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
    }
}

RECT ClientRect(const ViewState& state)
{
    RECT client{};
    ::GetClientRect(state.window, &client);
    return client;
}

// Where the page stands in the client area `client`.
RECT ContentRect(const ViewState& state, const RECT& client)
{
    return RECT{state.margin, state.margin - state.scrollY,
                std::max<LONG>(state.margin + 1, client.right - state.margin),
                state.margin - state.scrollY + state.contentHeight};
}

// Lays the page out again at the current scroll position: boxes, links and
// the places of the controls.
void PlaceContent(ViewState& state, const RECT& client)
{
    state.renderer.Place(ContentRect(state, client));
    PlaceControls(state);
}

void UpdateScrollBar(ViewState& state, const RECT& client)
{
    int total = state.contentHeight + 2 * state.margin;
    int page = std::max<int>(1, client.bottom);
    state.scrollY = std::clamp(state.scrollY, 0, std::max(0, total - page));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, total - 1);
    info.nPage = static_cast<UINT>(page);
    info.nPos = state.scrollY;
    ::SetScrollInfo(state.window, SB_VERT, &info, TRUE);
}

void Relayout(ViewState& state)
{
    if (state.pageDirty) {
        state.renderer.Forget(); // its layout points at the placeholders
        const COLORREF background = state.page.Background();
        if (background != state.backgroundColor || !state.background) {
            state.backgroundColor = background;
            state.background.Reset(::CreateSolidBrush(state.backgroundColor));
        }
        state.margin = state.page.Margin();
        state.placeholders.clear();
        state.placeholderOf.clear();
        state.pageDirty = false;
    }
    const RECT client = ClientRect(state);
    state.renderer.maxWidth = std::max<int>(20, client.right - 2 * state.margin);
    SIZE size =
        state.renderer.MeasurePage(state.measuring.get(), state.page, [&state](html::PageElement& element) {
            return Placeholder(state, element);
        });
    state.contentHeight = size.cy;
    UpdateScrollBar(state, client);
    PlaceContent(state, client);
    ::InvalidateRect(state.window, nullptr, FALSE);
}

void ScrollTo(ViewState& state, int y)
{
    int before = state.scrollY;
    state.scrollY = y;
    const RECT client = ClientRect(state);
    UpdateScrollBar(state, client);
    if (state.scrollY == before)
        return;
    PlaceContent(state, client);
    ::InvalidateRect(state.window, nullptr, FALSE);
}

void Paint(ViewState& state)
{
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(state.window, &paint);
    RECT client{};
    ::GetClientRect(state.window, &client);
    if (client.right > 0 && client.bottom > 0) {
        HDC memory = ::CreateCompatibleDC(dc);
        HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::FillRect(memory, &client, state.background.get());
        state.renderer.Draw(memory, ContentRect(state, client));
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
    }
    ::EndPaint(state.window, &paint);
}

html::PageElement* LinkAt(ViewState& state, POINT point)
{
    for (const html::HyperlinkPiece& piece : state.renderer.Links()) {
        if (piece.kind != 1 || !::PtInRect(&piece.rect, point))
            continue;
        wchar_t* end = nullptr;
        long number = std::wcstol(piece.text.c_str(), &end, 10);
        if (end != piece.text.c_str())
            return state.page.LinkOfNumber(static_cast<int>(number));
    }
    return nullptr;
}

void ScrollToElement(ViewState& state, const html::PageElement& element)
{
    RECT rect = ElementRect(state, element);
    if (rect.bottom <= rect.top && rect.right <= rect.left)
        return;
    ScrollTo(state, state.scrollY + rect.top - state.margin);
}

void FollowLink(ViewState& state, html::PageElement& link)
{
    std::wstring href = link.Attribute(L"href");
    if (href.size() < 2 || href[0] != L'#')
        return; // other addresses are the host's to open
    if (html::PageElement* anchor = state.page.FindAnchor(href.substr(1)))
        ScrollToElement(state, *anchor);
}

void OnButtonDown(ViewState& state, POINT point)
{
    ::SetFocus(state.window);
    html::PageElement* link = LinkAt(state, point);
    state.pressedLink = link;
    if (link)
        ::SetCapture(state.window);
    bool consumed = false;
    Fire(state, link ? link : BodyOf(state), HANDLE_MOUSE, MOUSE_DOWN, point, consumed);
}

void OnButtonUp(ViewState& state, POINT point)
{
    html::PageElement* pressed = state.pressedLink;
    state.pressedLink = nullptr;
    if (::GetCapture() == state.window)
        ::ReleaseCapture();
    if (!pressed || LinkAt(state, point) != pressed)
        return;
    bool consumed = false;
    unsigned generation = state.generation;
    Fire(state, pressed, HANDLE_BEHAVIOR_EVENT, HYPERLINK_CLICK, point, consumed);
    if (!consumed && generation == state.generation)
        FollowLink(state, *pressed);
}

html::PageElement* ElementOfControl(ViewState& state, HWND control)
{
    if (!control)
        return nullptr;
    for (html::PageElement* element : state.controls) {
        if (element->ControlWindow() == control)
            return element;
    }
    return nullptr;
}

void OnCommand(ViewState& state, WPARAM wParam, LPARAM lParam)
{
    HWND from = reinterpret_cast<HWND>(lParam);
    html::PageElement* target = ElementOfControl(state, from);
    if (!target)
        return;
    UINT code = HIWORD(wParam);
    bool consumed = false;
    if (target->Control() == html::ControlKind::CheckBox && code == BN_CLICKED) {
        bool checked = ::SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
        target->state =
            checked ? (target->state | html::kStateChecked) : (target->state & ~html::kStateChecked);
        Fire(state, target, HANDLE_BEHAVIOR_EVENT, BUTTON_STATE_CHANGED, POINT{}, consumed);
    } else if (target->Control() == html::ControlKind::Number && code == EN_CHANGE) {
        Fire(state, target, HANDLE_BEHAVIOR_EVENT, EDIT_VALUE_CHANGED, POINT{}, consumed);
    }
}

LRESULT OnControlColor(ViewState& state, HDC dc, HWND control)
{
    html::PageElement* target = ElementOfControl(state, control);
    COLORREF text = target ? state.page.StyleOf(*target).color : RGB(0, 0, 0);
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, state.backgroundColor);
    return reinterpret_cast<LRESULT>(state.background.get());
}

void OnVScroll(ViewState& state, WPARAM wParam)
{
    RECT client{};
    ::GetClientRect(state.window, &client);
    int page = std::max<int>(kLineStep, client.bottom - kLineStep);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        ScrollTo(state, state.scrollY - kLineStep);
        break;
    case SB_LINEDOWN:
        ScrollTo(state, state.scrollY + kLineStep);
        break;
    case SB_PAGEUP:
        ScrollTo(state, state.scrollY - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(state, state.scrollY + page);
        break;
    case SB_TOP:
        ScrollTo(state, 0);
        break;
    case SB_BOTTOM:
        ScrollTo(state, state.contentHeight);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(state.window, SB_VERT, &info);
        ScrollTo(state, info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

bool OnKey(ViewState& state, WPARAM key)
{
    switch (key) {
    case VK_UP:
        OnVScroll(state, SB_LINEUP);
        return true;
    case VK_DOWN:
        OnVScroll(state, SB_LINEDOWN);
        return true;
    case VK_PRIOR:
        OnVScroll(state, SB_PAGEUP);
        return true;
    case VK_NEXT:
        OnVScroll(state, SB_PAGEDOWN);
        return true;
    case VK_HOME:
        OnVScroll(state, SB_TOP);
        return true;
    case VK_END:
        OnVScroll(state, SB_BOTTOM);
        return true;
    default:
        return false;
    }
}

LRESULT HandleMessage(ViewState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = state.window;
    switch (message) {
    case WM_CREATE:
        ::SetWindowLongPtrW(window, GWL_STYLE,
                            ::GetWindowLongPtrW(window, GWL_STYLE) | WS_VSCROLL | WS_CLIPCHILDREN);
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return 0;
    case WM_SIZE:
        Relayout(state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(state);
        return 0;
    case WM_VSCROLL:
        OnVScroll(state, wParam);
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(state, state.scrollY - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kLineStep / WHEEL_DELTA);
        return 0;
    case WM_KEYDOWN:
        if (OnKey(state, wParam))
            return 0;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        OnButtonDown(state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        state.renderer.SetCursorAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_SETCURSOR: {
        POINT point{};
        ::GetCursorPos(&point);
        ::ScreenToClient(window, &point);
        if (LOWORD(lParam) == HTCLIENT && LinkAt(state, point) && state.renderer.HandCursor()) {
            ::SetCursor(state.renderer.HandCursor());
            return TRUE;
        }
        break;
    }
    case kHoverMessage:
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_COMMAND:
        OnCommand(state, wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColor(state, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_NCCREATE) {
            auto* state = new ViewState();
            state->window = window;
            state->background.Reset(::CreateSolidBrush(state->backgroundColor));
            state->page.Root().Extras().control = window;
            state->renderer.SetNotify(window, kHoverMessage, 0);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        auto* state = reinterpret_cast<ViewState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete state;
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        if (!state)
            return ::DefWindowProcW(window, message, wParam, lParam);
        return HandleMessage(*state, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException(L"HTML view");
        return 0;
    }
}

BOOL CALLBACK KeepFirstElement(HELEMENT he, LPVOID param)
{
    *static_cast<HELEMENT*>(param) = he;
    return TRUE;
}

BOOL Load(HWND view, const BYTE* html, UINT size, LPCWSTR baseUrl)
{
    ViewState* state = StateOf(view);
    if (!state || !html)
        return FALSE;
    std::wstring& text = state->source;
    DecodeUtf8(html, size, text);
    if (text.empty()) {
        LogError(L"HTML view: the page is empty or not UTF-8 text");
        return FALSE;
    }
    ++state->generation;
    state->renderer.Forget(); // the layout points into the page and its placeholders
    DestroyControls(*state);
    state->pressedLink = nullptr;
    state->base = baseUrl ? baseUrl : L"";
    state->page.Parse(text);
    state->page.Root().Extras().control = view;
    for (const std::wstring& href : state->page.LinkedStyleSheets()) {
        std::wstring uri = Resolve(state->base, href);
        state->received.erase(uri);
        if (state->callback) {
            NMHL_LOAD_DATA request{};
            request.hdr.hwndFrom = view;
            request.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(view));
            request.hdr.code = HLN_LOAD_DATA;
            request.uri = uri.c_str();
            request.dataType = HLRT_DATA_STYLE;
            state->callback(HLN_LOAD_DATA, &request, state->callbackParam);
        }
        std::string bytes;
        auto found = state->received.find(uri);
        if (found != state->received.end())
            bytes = found->second;
        else if (uri.find(L"://") != std::wstring::npos ||
                 !ReadFileBytesBounded(uri.c_str(), kLargestLocalFile, bytes))
            continue;
        state->page.AddStyleSheet(FromUtf8(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()));
    }
    state->received.clear();
    state->scrollY = 0;
    state->pageDirty = true;
    Relayout(*state);
    return TRUE;
}

void Changed(html::PageElement* element)
{
    ViewState* state = StateOfElement(element);
    if (!state)
        return;
    state->pageDirty = true;
    Relayout(*state);
}

} // namespace

void ValueInit(VALUE* value)
{
    if (!value)
        return;
    value->t = T_UNDEFINED;
    value->i = 0;
    value->s = nullptr;
}

void ValueClear(VALUE* value)
{
    if (!value)
        return;
    delete[] value->s;
    ValueInit(value);
}

void ValueCopy(VALUE* destination, const VALUE* source)
{
    if (!destination || !source || destination == source)
        return;
    ValueClear(destination);
    destination->t = source->t;
    destination->i = source->i;
    if (source->s) {
        size_t length = std::wcslen(source->s);
        destination->s = new wchar_t[length + 1];
        std::wmemcpy(destination->s, source->s, length + 1);
    }
}

LPCWSTR HTMLayoutClassNameW()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ViewProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered)
        LogError(L"HTML view: the window class could not be registered");
    return kClassName;
}

BOOL HTMLayoutLoadHtml(HWND view, const BYTE* html, UINT size)
{
    return Load(view, html, size, nullptr);
}

BOOL HTMLayoutLoadHtmlEx(HWND view, const BYTE* html, UINT size, LPCWSTR baseUrl)
{
    return Load(view, html, size, baseUrl);
}

void HTMLayoutSetCallback(HWND view, HtmlViewNotify callback, LPVOID callbackParam)
{
    if (ViewState* state = StateOf(view)) {
        state->callback = callback;
        state->callbackParam = callbackParam;
    }
}

BOOL HTMLayoutDataReady(HWND view, LPCWSTR uri, const BYTE* data, DWORD size)
{
    ViewState* state = StateOf(view);
    if (!state || !uri || (!data && size))
        return FALSE;
    state->received[uri] = std::string(reinterpret_cast<const char*>(data), size);
    return TRUE;
}

BOOL HTMLayoutWindowAttachEventHandler(HWND view, HtmlEventProc handler, LPVOID tag, UINT subscription)
{
    ViewState* state = StateOf(view);
    if (!state || !handler)
        return FALSE;
    state->handlers.push_back(AttachedHandler{handler, tag, subscription});
    return TRUE;
}

HtmlDomResult HTMLayoutGetRootElement(HWND view, HELEMENT* root)
{
    ViewState* state = StateOf(view);
    if (!state)
        return HLDOM_INVALID_HWND;
    if (!root)
        return HLDOM_INVALID_PARAMETER;
    *root = Handle(&state->page.Root());
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutVisitElements(HELEMENT root, LPCSTR tagName, LPCSTR attributeName,
                                     LPCWSTR attributeValue, HtmlElementCallback callback, LPVOID param)
{
    if (!root || !StateOfElement(Element(root)))
        return HLDOM_INVALID_HANDLE;
    if (!callback)
        return HLDOM_INVALID_PARAMETER;
    std::wstring tag = Wide(tagName);
    std::wstring attribute = Wide(attributeName);
    bool stop = false;
    std::function<void(html::PageElement&)> walk = [&](html::PageElement& element) {
        if (stop || element.isText)
            return;
        bool matches = !element.tag.empty() &&
                       (tag.empty() || _wcsicmp(tag.c_str(), std::wstring(element.tag).c_str()) == 0);
        if (matches && !attribute.empty()) {
            const std::wstring* value = element.FindAttribute(attribute);
            matches = value && (!attributeValue || *value == attributeValue);
        }
        if (matches && callback(Handle(&element), param)) {
            stop = true;
            return;
        }
        for (auto& child : element.children)
            walk(*child);
    };
    walk(*Element(root));
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutGetElementById(HELEMENT root, LPCWSTR id, HELEMENT* found)
{
    if (!found || !id)
        return HLDOM_INVALID_PARAMETER;
    *found = nullptr;
    return HTMLayoutVisitElements(root, nullptr, "id", id, KeepFirstElement, found);
}

HtmlDomResult HTMLayout_UseElement(HELEMENT he)
{
    return he ? HLDOM_OK : HLDOM_INVALID_HANDLE;
}

HtmlDomResult HTMLayout_UnuseElement(HELEMENT he)
{
    return he ? HLDOM_OK : HLDOM_INVALID_HANDLE;
}

HtmlDomResult HTMLayoutGetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR* value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!name || !value)
        return HLDOM_INVALID_PARAMETER;
    std::wstring lower = Wide(name);
    for (wchar_t& ch : lower)
        ch = static_cast<wchar_t>(std::towlower(ch));
    const std::wstring* found = Element(he)->FindAttribute(lower);
    *value = found ? found->c_str() : nullptr;
    return found ? HLDOM_OK : HLDOM_OK_NOT_HANDLED;
}

HtmlDomResult HTMLayoutSetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!name)
        return HLDOM_INVALID_PARAMETER;
    std::wstring lower = Wide(name);
    for (wchar_t& ch : lower)
        ch = static_cast<wchar_t>(std::towlower(ch));
    std::wstring text = value ? value : L"";
    Element(he)->SetAttribute(lower, value ? &text : nullptr);
    Changed(Element(he));
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutSetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    html::PageElement* element = Element(he);
    std::map<std::wstring, std::wstring>& runtimeStyle = element->Extras().runtimeStyle;
    if (!name)
        runtimeStyle.clear();
    else if (!value)
        runtimeStyle.erase(Wide(name));
    else
        runtimeStyle[Wide(name)] = value;
    Changed(element);
    if (HWND control = element->ControlWindow())
        ::InvalidateRect(control, nullptr, TRUE);
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutGetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR* value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!name || !value)
        return HLDOM_INVALID_PARAMETER;
    static const wchar_t kEmpty[] = L"";
    const html::PageElement* element = Element(he);
    *value = kEmpty;
    if (!element->extras)
        return HLDOM_OK;
    auto found = element->extras->runtimeStyle.find(Wide(name));
    if (found != element->extras->runtimeStyle.end())
        *value = found->second.c_str();
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutGetElementState(HELEMENT he, UINT* state)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!state)
        return HLDOM_INVALID_PARAMETER;
    *state = Element(he)->state;
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutSetElementState(HELEMENT he, UINT bitsToSet, UINT bitsToClear, BOOL update)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    html::PageElement* element = Element(he);
    element->state = (element->state & ~bitsToClear) | bitsToSet;
    if (HWND control = element->ControlWindow()) {
        bool enabled = !(element->state & html::kStateDisabled);
        ::EnableWindow(control, enabled);
        if (HWND buddy = element->BuddyWindow())
            ::EnableWindow(buddy, enabled);
        if (element->Control() == html::ControlKind::CheckBox)
            ::SendMessageW(control, BM_SETCHECK,
                           (element->state & html::kStateChecked) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (update)
        Changed(element);
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutControlGetType(HELEMENT he, UINT* type)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!type)
        return HLDOM_INVALID_PARAMETER;
    switch (Element(he)->Control()) {
    case html::ControlKind::Hyperlink:
        *type = CTL_HYPERLINK;
        break;
    case html::ControlKind::CheckBox:
        *type = CTL_CHECKBOX;
        break;
    case html::ControlKind::Number:
        *type = CTL_NUMERIC;
        break;
    default:
        *type = CTL_NO;
        break;
    }
    return HLDOM_OK;
}

HtmlDomResult HTMLayoutControlGetValue(HELEMENT he, VALUE* value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!value)
        return HLDOM_INVALID_PARAMETER;
    ValueClear(value);
    html::PageElement* element = Element(he);
    switch (element->Control()) {
    case html::ControlKind::CheckBox:
        value->t = T_INT;
        value->i = (element->state & html::kStateChecked) ? 1 : 0;
        return HLDOM_OK;
    case html::ControlKind::Number: {
        wchar_t text[32] = {};
        if (HWND control = element->ControlWindow())
            ::GetWindowTextW(control, text, 32);
        wchar_t* end = nullptr;
        long number = std::wcstol(text, &end, 10);
        if (end == text || *end != 0)
            return HLDOM_OK; // empty or not a number: undefined
        value->t = T_INT;
        value->i = static_cast<int>(number);
        return HLDOM_OK;
    }
    default: {
        std::wstring text = element->InnerText();
        value->t = T_STRING;
        value->s = new wchar_t[text.size() + 1];
        std::wmemcpy(value->s, text.c_str(), text.size() + 1);
        return HLDOM_OK;
    }
    }
}

HtmlDomResult HTMLayoutControlSetValue(HELEMENT he, const VALUE* value)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!value)
        return HLDOM_INVALID_PARAMETER;
    html::PageElement* element = Element(he);
    switch (element->Control()) {
    case html::ControlKind::CheckBox:
        return HTMLayoutSetElementState(he, value->i ? STATE_CHECKED : 0, value->i ? 0 : STATE_CHECKED,
                                        FALSE);
    case html::ControlKind::Number: {
        std::wstring text = value->t == T_STRING && value->s ? value->s : std::to_wstring(value->i);
        if (HWND control = element->ControlWindow())
            ::SetWindowTextW(control, text.c_str());
        return HLDOM_OK;
    }
    default:
        return HLDOM_OPERATION_FAILED;
    }
}

HtmlDomResult HTMLayoutGetElementLocation(HELEMENT he, RECT* location)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    if (!location)
        return HLDOM_INVALID_PARAMETER;
    ViewState* state = StateOfElement(Element(he));
    if (!state)
        return HLDOM_INVALID_HANDLE;
    *location = ElementRect(*state, *Element(he));
    return HLDOM_OK;
}

HWND HTMLayoutGetControlWindow(HELEMENT he)
{
    return he ? Element(he)->ControlWindow() : nullptr;
}

HtmlDomResult HTMLayoutScrollToView(HELEMENT he)
{
    if (!he)
        return HLDOM_INVALID_HANDLE;
    ViewState* state = StateOfElement(Element(he));
    if (!state)
        return HLDOM_INVALID_HANDLE;
    ScrollToElement(*state, *Element(he));
    return HLDOM_OK;
}
