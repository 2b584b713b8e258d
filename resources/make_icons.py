#!/usr/bin/env python3
"""Writes the main program's icon files (16 and 32 pixel, 32-bit colour).

A rounded square with a stylised page of text; the variants differ in colour:
Scrivolanter.ico (normal), ScrivolanterAdmin.ico (with a gold corner for the
elevated process), ScrivolanterOff.ico (grey: the phrase menu is not available)
and ScrivolanterBlink.ico (light: the blink after the phrases changed).
Run it from any folder; the files land beside the script.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def pixel(size, x, y, body, mark):
    """BGRA of one pixel (y counts from the top)."""
    s = size / 32.0
    r = 6 * s
    # rounded corners: outside the corner circles nothing is drawn
    cx = min(max(x, r), size - 1 - r)
    cy = min(max(y, r), size - 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    if mark and x + y >= size * 1.45:
        return (0x20, 0xB0, 0xF0, 0xFF)          # gold corner
    # the page: a white sheet with three lines of "text"
    left, right, top, bottom = 8 * s, 24 * s, 6 * s, 26 * s
    if left <= x < right and top <= y < bottom:
        for line_top in (10, 15, 20):
            if line_top * s <= y < (line_top + 2) * s and 11 * s <= x < (21 if line_top != 20 else 17) * s:
                return body + (0xFF,)
        return (0xFF, 0xFF, 0xFF, 0xFF)
    return body + (0xFF,)


def image(size, body, mark):
    rows = []
    for y in reversed(range(size)):            # DIBs are stored bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y, body, mark)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)       # the alpha channel decides
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def write_icon(name, body, mark=False):
    images = [image(size, body, mark) for size in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    write_icon("Scrivolanter.ico", (0xC0, 0x60, 0x20))        # blue (BGR)
    write_icon("ScrivolanterAdmin.ico", (0xC0, 0x60, 0x20), mark=True)
    write_icon("ScrivolanterOff.ico", (0x90, 0x90, 0x90))     # grey
    write_icon("ScrivolanterBlink.ico", (0x40, 0xC0, 0xF0))   # light orange
