#pragma once
// Pictures of a web page that lie on this machine (a path, or a "file:" address): decoded by the
// system's imaging component (PNG, JPEG, GIF, BMP, ICO...), scaled to the size the page asks for and
// laid on the page's background, so that the renderer can draw them as plain bitmaps. Addresses on a
// web server are never fetched.

#include <windows.h>

#include <string>

namespace html
{

// The local file an address names: the address itself when it is a path, the path of a "file:"
// address; empty for any other address (http, https, res, ...).
std::wstring LocalPicturePath(const std::wstring& address);

// The picture as an opaque bitmap of width x height (0: the picture's own size, or the other side kept
// in proportion), its transparent parts showing `background`. Null when the file cannot be read or
// decoded, or the size is not sensible. The caller deletes the bitmap.
HBITMAP LoadPagePicture(const std::wstring& path, int width, int height, COLORREF background);

} // namespace html
