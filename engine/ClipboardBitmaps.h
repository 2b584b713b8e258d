#pragma once

// Bitmaps for the clipboard: written to a .bmp file, put on the clipboard,
// compared pixel by pixel.

#include <windows.h>

// Writes the bitmap as a .bmp file (a file header, a BITMAPINFOHEADER with a
// colour table for 1 to 16 bits per pixel, the DIB bits). False on any failure.
bool SaveBitmapToFile(LPCWSTR path, HBITMAP bitmap);
// The same file's bytes written to an open file: a bottom-up DIB section of 24 or 32 bits straight from
// its memory, any other bitmap through GetDIBits. False on any failure.
bool WriteBitmapFile(HANDLE file, HBITMAP bitmap);
// A DIB section made from the bytes of a .bmp file of 24 or 32 bits, uncompressed and bottom-up, with
// no colour table; null for any other file (LoadImageW reads those) or when it cannot be made.
HBITMAP BitmapFromFileBytes(const void* bytes, size_t size);
// Empties the clipboard and puts a copy of the bitmap as CF_BITMAP (the
// caller keeps its bitmap). False when the copy cannot be made or the
// clipboard cannot be opened.
bool PutBitmapToClipboard(HBITMAP bitmap);
// Whether two bitmaps have the same size, depth and pixels (the same handle:
// true at once; a null handle: false).
bool BitmapsEqual(HBITMAP a, HBITMAP b);
// A 64-bit hash of what BitmapsEqual compares (the DIB header, the pixels and,
// for palette bitmaps, the colours): bitmaps that compare equal have the same
// fingerprint. False when the bitmap cannot be read.
bool GetBitmapFingerprint(HBITMAP bitmap, unsigned long long& fingerprint);
// FNV-1a over the bytes, continuing from `hash` (start with kFingerprintSeed).
inline constexpr unsigned long long kFingerprintSeed = 14695981039346656037ull;
unsigned long long HashBytes(const void* bytes, size_t size, unsigned long long hash);
