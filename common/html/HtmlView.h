#pragma once

// The HTML view: a child window that shows a web page drawn by the tooltip
// renderer, scrolls it vertically, jumps to in-page anchors, stands real
// check boxes and number inputs in for the page's controls, and reports link
// clicks, mouse presses and control changes to the handlers attached to it.
// Its interface is a small set of C functions on window and element handles
// (HTMLayout...): load a page (UTF-8) with or without a base address, ask the
// host for style sheets and pictures through a notification callback (answered
// with HTMLayoutDataReady), find elements, read and change their attributes,
// styles, states and control values. Pictures from the network are not
// fetched. Element handles stay valid until the next page is loaded.

#include <windows.h>

struct HtmlViewElement;
typedef HtmlViewElement* HELEMENT;

// Results of the element functions.
enum HtmlDomResult : int
{
    HLDOM_OK = 0,
    HLDOM_INVALID_HWND = 1,
    HLDOM_INVALID_HANDLE = 2,
    HLDOM_PASSIVE_HANDLE = 3,
    HLDOM_INVALID_PARAMETER = 4,
    HLDOM_OPERATION_FAILED = 5,
    HLDOM_OK_NOT_HANDLED = -1,
};

// Notification codes of the callback.
inline constexpr UINT HLN_LOAD_DATA = 0x0B01;
// Kinds of data the view asks for.
inline constexpr UINT HLRT_DATA_HTML = 0;
inline constexpr UINT HLRT_DATA_IMAGE = 1;
inline constexpr UINT HLRT_DATA_STYLE = 2;

struct NMHL_LOAD_DATA
{
    NMHDR hdr;     // hdr.code HLN_LOAD_DATA, hdr.hwndFrom the view
    LPCWSTR uri;   // as written in the page, resolved against the base address
    UINT dataType; // HLRT_DATA_...
};

typedef LRESULT(CALLBACK* HtmlViewNotify)(UINT code, LPVOID notification, LPVOID callbackParam);

// Element state bits.
inline constexpr UINT STATE_CHECKED = 0x40;
inline constexpr UINT STATE_DISABLED = 0x80;

// Event groups (subscription bits) and event types.
inline constexpr UINT HANDLE_MOUSE = 0x0001;
inline constexpr UINT HANDLE_BEHAVIOR_EVENT = 0x0100;
inline constexpr UINT HANDLE_ALL = 0xFFFF;
inline constexpr UINT SINKING = 0x8000; // added to the type in the first (sinking) pass

inline constexpr UINT MOUSE_DOWN = 1;
inline constexpr UINT MOUSE_UP = 2;
inline constexpr UINT MAIN_MOUSE_BUTTON = 1;

inline constexpr UINT BUTTON_CLICK = 0;
inline constexpr UINT BUTTON_STATE_CHANGED = 1;
inline constexpr UINT HYPERLINK_CLICK = 2;
inline constexpr UINT EDIT_VALUE_CHANGED = 3;

struct MOUSE_PARAMS
{
    UINT cmd;          // MOUSE_DOWN or MOUSE_UP, SINKING added in the first pass
    HELEMENT target;   // the element under the pointer (a link, or the page's body)
    POINT pos;         // in view coordinates
    UINT button_state; // MAIN_MOUSE_BUTTON
};

struct BEHAVIOR_EVENT_PARAMS
{
    UINT cmd;          // BUTTON_STATE_CHANGED, HYPERLINK_CLICK ..., SINKING added in the first pass
    HELEMENT heTarget; // the control or link
    HELEMENT he;       // the same element
    UINT_PTR reason;
};

// An event handler: TRUE consumes the event (the second pass and the view's
// own action are skipped).
typedef BOOL(CALLBACK* HtmlEventProc)(LPVOID tag, HELEMENT he, UINT evtg, LPVOID prms);

// Control types.
inline constexpr UINT CTL_NO = 0;
inline constexpr UINT CTL_HYPERLINK = 1;
inline constexpr UINT CTL_CHECKBOX = 2;
inline constexpr UINT CTL_NUMERIC = 3;

// A control value.
inline constexpr UINT T_UNDEFINED = 0;
inline constexpr UINT T_INT = 2;
inline constexpr UINT T_STRING = 5;

struct VALUE
{
    UINT t;
    int i;
    LPWSTR s; // T_STRING: owned, freed by ValueClear
};

void ValueInit(VALUE* value);
void ValueClear(VALUE* value);
void ValueCopy(VALUE* destination, const VALUE* source);

// The view's window class (registered on first use).
LPCWSTR HTMLayoutClassNameW();

BOOL HTMLayoutLoadHtml(HWND view, const BYTE* html, UINT size);
// The base address serves for relative links, style sheets and pictures.
BOOL HTMLayoutLoadHtmlEx(HWND view, const BYTE* html, UINT size, LPCWSTR baseUrl);
void HTMLayoutSetCallback(HWND view, HtmlViewNotify callback, LPVOID callbackParam);
// The answer to HLN_LOAD_DATA, given inside the callback.
BOOL HTMLayoutDataReady(HWND view, LPCWSTR uri, const BYTE* data, DWORD size);
BOOL HTMLayoutWindowAttachEventHandler(HWND view, HtmlEventProc handler, LPVOID tag, UINT subscription);

HtmlDomResult HTMLayoutGetRootElement(HWND view, HELEMENT* root);
// Calls `callback` for the elements under `root` (root included) that match
// the tag (null: any) and, when given, the attribute and its value, in
// document order; a callback returning TRUE stops the walk.
typedef BOOL(CALLBACK* HtmlElementCallback)(HELEMENT he, LPVOID param);
HtmlDomResult HTMLayoutVisitElements(HELEMENT root, LPCSTR tagName, LPCSTR attributeName,
                                     LPCWSTR attributeValue, HtmlElementCallback callback, LPVOID param);
// The first element below root with that "id".
HtmlDomResult HTMLayoutGetElementById(HELEMENT root, LPCWSTR id, HELEMENT* found);
HtmlDomResult HTMLayout_UseElement(HELEMENT he);
HtmlDomResult HTMLayout_UnuseElement(HELEMENT he);

// The value stays valid until the attribute changes or the page is reloaded.
HtmlDomResult HTMLayoutGetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR* value);
// A null value removes the attribute.
HtmlDomResult HTMLayoutSetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR value);
// Run-time style of the element: a null value removes the property; a null
// name removes every run-time property.
HtmlDomResult HTMLayoutSetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR value);
// The run-time property's value (empty when not set).
HtmlDomResult HTMLayoutGetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR* value);
HtmlDomResult HTMLayoutGetElementState(HELEMENT he, UINT* state);
HtmlDomResult HTMLayoutSetElementState(HELEMENT he, UINT bitsToSet, UINT bitsToClear, BOOL update);

HtmlDomResult HTMLayoutControlGetType(HELEMENT he, UINT* type);
HtmlDomResult HTMLayoutControlGetValue(HELEMENT he, VALUE* value);
HtmlDomResult HTMLayoutControlSetValue(HELEMENT he, const VALUE* value);

// Where the element is drawn, in view client coordinates (empty when it is
// not visible in the page).
HtmlDomResult HTMLayoutGetElementLocation(HELEMENT he, RECT* location);
// The window standing for a control element (check box or number edit).
HWND HTMLayoutGetControlWindow(HELEMENT he);
// Scrolls the page so that the element is at the top.
HtmlDomResult HTMLayoutScrollToView(HELEMENT he);
