#pragma once

// Icon transformations (rotation, recolouring, grey copy), icon loading and
// the shell's file, file-type and folder icons. Every icon returned belongs to
// the caller, who destroys it with DestroyIcon.

#include <windows.h>

// A copy turned by 90 degrees counter-clockwise: the pixel at (x, y) goes to
// (y, width - 1 - x). Colour (with its alpha) and mask are both turned. Null
// when the icon cannot be read or a bitmap cannot be made.
HICON CreateRotatedIcon(HICON icon);

// A copy whose colour pixels are taken from a table of 256 colours indexed by
// f = 255 - (R + G + B) / 3 (index 1 for f = 0); fully transparent black
// pixels stay; the alpha of every pixel and the mask are kept. Null on any
// failure (also for an icon without a colour bitmap).
HICON RecolorIcon(HICON icon, const COLORREF table[256]);
// RecolorIcon with a grey table: each pixel becomes the grey of its channel
// average (white becomes 254).
HICON CreateGrayscaleIcon(HICON icon);

// The icon resource at size x size pixels; null when it is missing.
HICON LoadIconSized(HMODULE module, UINT resourceId, int size);
// The icon resource at 16 x 16 pixels.
HICON LoadIconSmall(HMODULE module, UINT resourceId);

// True when the handle is an icon whose bitmaps can be read.
bool IsValidIcon(HICON icon);
// Width and height of the icon's image; 0, 0 for an invalid icon.
SIZE GetIconSize(HICON icon);

// The shell's large icon of an existing file or folder. With `reserved` set no
// icon kind is asked for and the result is null (callers then ask without it).
HICON GetPathIcon(LPCWSTR path, bool reserved);

// The shell's icon of a file type, given a path or an extension such as
// ".txt" (the file need not exist); small unless `large`. Null when none.
HICON GetFileTypeIcon(LPCWSTR pathOrExtension, bool large);
// The same as GetFileTypeIcon.
HICON LoadFileTypeIcon(LPCWSTR pathOrExtension, bool large);

// The system's folder icon, open or closed, small unless `large`: the stock
// icon where the system has them, else the shell's icon of a folder.
HICON GetStockFolderIcon(bool open, bool large);
// GetStockFolderIcon by index: 0 closed folder, 1 open folder.
HICON GetStockIconCompat(int index, bool large);
