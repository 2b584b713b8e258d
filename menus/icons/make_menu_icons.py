#!/usr/bin/env python3
"""Writes the icons of the phrase menu's items (16 and 32 pixel, 32-bit colour).

Exec.ico (a program to run: a window with a green "run" triangle),
Formatted.ico (formatted text: a page with coloured lines),
SearchFirst.ico, SearchSecond.ico, SearchThird.ico and SearchFourth.ico (a
magnifying glass, blue, red, green and orange), WebAddress.ico (a web
address: a globe), History.ico (the clipboard history: a stack of pages),
HtmlCode.ico (an item's HTML code: angle brackets), HtmlPage.ico (an item as
HTML: a page with a globe);
and those of the floating history pane: PaneClose.ico (a cross),
PaneMinimize.ico (a bar at the top), PaneEdit.ico (a pencil), PaneCopy.ico
(two pages), PaneRestore.ico (a framed window), PanePin.ico (a pin),
PaneProtected.ico (a padlock), PaneQuickCopy.ico (a green arrow into a page).
Run it from any folder; the files land beside the script.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CLEAR = (0, 0, 0, 0)


def bgra(r, g, b):
    return (b, g, r, 0xFF)


def exec_pixel(u, v):
    if 0.06 <= u <= 0.94 and 0.12 <= v <= 0.88:
        if v < 0.26:
            return bgra(40, 70, 160)                      # title bar
        if u < 0.12 or u > 0.88 or v > 0.82:
            return bgra(40, 70, 160)                      # frame
        # the run triangle
        if 0.36 <= u <= 0.70 and abs(v - 0.54) <= (0.70 - u) * 0.75:
            return bgra(20, 170, 40)
        return bgra(250, 250, 250)
    return CLEAR


def formatted_pixel(u, v):
    if 0.16 <= u <= 0.84 and 0.06 <= v <= 0.94:
        if u < 0.20 or u > 0.80 or v < 0.10 or v > 0.90:
            return bgra(90, 90, 90)                       # page edge
        for top, colour in ((0.22, (200, 30, 30)), (0.42, (30, 60, 200)), (0.62, (200, 30, 30))):
            if top <= v <= top + 0.09 and u <= 0.72:
                return bgra(*colour)
        return bgra(255, 255, 255)
    return CLEAR


def magnifier(colour):
    def pixel(u, v):
        d = math.hypot(u - 0.42, v - 0.42)
        if d <= 0.22:
            return bgra(225, 240, 255)                    # the lens
        if d <= 0.33:
            return bgra(*colour)                          # the rim
        # the handle towards the lower right
        if u > 0.58 and v > 0.58 and abs(u - v) <= 0.10 and u + v <= 1.86:
            return bgra(*colour)
        return CLEAR
    return pixel


def globe_pixel(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    if d > 0.45:
        return CLEAR
    if d > 0.40 or abs(u - 0.5) < 0.04 or abs(v - 0.5) < 0.04:
        return bgra(255, 255, 255)
    if abs(math.hypot((u - 0.5) * 2.2, v - 0.5) - 0.45) < 0.04:
        return bgra(255, 255, 255)                        # a meridian
    return bgra(30, 110, 210)


def cross(u, v):
    if abs(u - v) < 0.1 or abs(u + v - 1) < 0.1:
        return bgra(60, 60, 60) if 0.15 < u < 0.85 else CLEAR
    return CLEAR


def minimize(u, v):
    return bgra(40, 70, 160) if 0.15 < u < 0.85 and 0.15 < v < 0.32 else CLEAR


def restore(u, v):
    inside = 0.15 < u < 0.85 and 0.15 < v < 0.85
    edge = inside and (u < 0.25 or u > 0.75 or v < 0.32 or v > 0.75)
    return bgra(40, 70, 160) if edge else CLEAR


def pencil(u, v):
    d = abs(u + v - 1)
    if d < 0.12 and 0.1 < u < 0.85:
        return bgra(230, 170, 30) if u > 0.25 else bgra(60, 60, 60)
    return CLEAR


def page(u, v, x, y, colour):
    if x <= u <= x + 0.5 and y <= v <= y + 0.6:
        edge = u < x + 0.07 or u > x + 0.43 or v < y + 0.07 or v > y + 0.53
        return bgra(*colour) if edge else bgra(250, 250, 250)
    return None


def copy(u, v):
    return page(u, v, 0.4, 0.3, (40, 70, 160)) or page(u, v, 0.1, 0.1, (90, 90, 90)) or CLEAR


def pin(u, v):
    if (u - 0.5) ** 2 + (v - 0.3) ** 2 < 0.04:
        return bgra(210, 40, 40)
    if abs(u - 0.5) < 0.05 and 0.3 < v < 0.9:
        return bgra(80, 80, 80)
    return CLEAR


def padlock(u, v):
    if 0.2 < u < 0.8 and 0.45 < v < 0.9:
        return bgra(220, 170, 20)
    r = ((u - 0.5) ** 2 + (v - 0.45) ** 2) ** 0.5
    if 0.17 < r < 0.27 and v < 0.45:
        return bgra(90, 90, 90)
    return CLEAR


def quick_copy(u, v):
    if 0.1 < v < 0.6 and abs(u - 0.5) < 0.08:
        return bgra(20, 170, 40)
    if 0.45 <= v < 0.7 and abs(u - 0.5) < (0.7 - v) * 1.2:
        return bgra(20, 170, 40)
    return page(u, v, 0.25, 0.65, (40, 70, 160)) or CLEAR


def history(u, v):
    return (page(u, v, 0.42, 0.36, (40, 70, 160)) or page(u, v, 0.26, 0.2, (90, 90, 90))
            or page(u, v, 0.1, 0.04, (150, 150, 150)) or CLEAR)


def html_code(u, v):
    # "<" on the left, ">" on the right, a slash between
    if abs(abs(v - 0.5) - (u - 0.08) * 1.1) < 0.07 and 0.08 <= u <= 0.42:
        return bgra(200, 90, 20)
    if abs(abs(v - 0.5) - (0.92 - u) * 1.1) < 0.07 and 0.58 <= u <= 0.92:
        return bgra(200, 90, 20)
    if abs((u - 0.5) * 3 + (v - 0.5)) < 0.18 and 0.2 < v < 0.8:
        return bgra(40, 70, 160)
    return CLEAR


def html_page(u, v):
    d = math.hypot(u - 0.66, v - 0.66)
    if d <= 0.3:
        return bgra(255, 255, 255) if d > 0.26 or abs(u - 0.66) < 0.03 else bgra(30, 110, 210)
    return page(u, v, 0.08, 0.06, (90, 90, 90)) or CLEAR


def image(size, pixel):
    rows = []
    for y in range(size - 1, -1, -1):                     # bottom row first
        row = b""
        for x in range(size):
            row += bytes(pixel((x + 0.5) / size, (y + 0.5) / size))
        rows.append(row)
    colour = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)                         # alpha decides; AND mask all clear
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def write_icon(name, pixel):
    images = [image(size, pixel) for size in (16, 32)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip((16, 32), images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        data += img
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


write_icon("Exec.ico", exec_pixel)
write_icon("Formatted.ico", formatted_pixel)
write_icon("SearchFirst.ico", magnifier((30, 80, 220)))
write_icon("SearchSecond.ico", magnifier((220, 40, 30)))
write_icon("SearchThird.ico", magnifier((20, 150, 50)))
write_icon("SearchFourth.ico", magnifier((230, 130, 20)))
write_icon("WebAddress.ico", globe_pixel)
write_icon("History.ico", history)
write_icon("HtmlCode.ico", html_code)
write_icon("HtmlPage.ico", html_page)
write_icon("PaneClose.ico", cross)
write_icon("PaneMinimize.ico", minimize)
write_icon("PaneEdit.ico", pencil)
write_icon("PaneCopy.ico", copy)
write_icon("PaneRestore.ico", restore)
write_icon("PanePin.ico", pin)
write_icon("PaneProtected.ico", padlock)
write_icon("PaneQuickCopy.ico", quick_copy)
