#!/usr/bin/env python3
"""Writes the editor's small command icons (16 and 32 pixel, 32-bit colour).

EditorAdd.ico (135): a green plus, adding a phrase.
EditorDelete.ico (134): a red cross, deleting an item.
EditorAllPhrases.ico (147): a list with a checked and an unchecked box.
EditorCheckedOnly.ico (157): a list whose boxes are all checked.
EditorFormatted.ico (158): a page with a coloured letter, formatted text.
EditorStartApplication.ico (144): a window with a green arrow, a phrase started as an application.
Text toolbar: EditorCopy (136), EditorCut (137), EditorPaste (138), EditorUndo (139), EditorRedo (140),
EditorIntoMenuName (141, a line of text going up into a menu), EditorMacro (142, a "%" in brackets),
EditorReadOnly (159, a padlock).
Web links: EditorForum (151), EditorHomePage (152), EditorSupport (154), EditorVideo (156),
EditorGroup (160), EditorRegionalGroup (163), EditorMessenger (164), EditorNews (149, a news sheet with
a headline and a picture), EditorGlobe (153, a globe with meridians).
Settings pane: EditorHidePane (148, a window whose lower pane goes down under an arrow), EditorSaveClose
(155, a blue disk with a red cross: save, then close), EditorMenuCommands (161, a menu whose lowest rows
are ticked: the commands at the bottom of the phrase menu).
Run it from any folder; the files land beside the script.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CLEAR = (0, 0, 0, 0)
WHITE = (0xFF, 0xFF, 0xFF, 0xFF)
DARK = (0x40, 0x40, 0x40, 0xFF)


def bgra(r, g, b):
    return (b, g, r, 0xFF)


def plus(x, y):
    if 6 <= x < 10 and 2 <= y < 14 or 2 <= x < 14 and 6 <= y < 10:
        return bgra(0x20, 0xA0, 0x30)
    return CLEAR


def cross(x, y):
    if abs(x - y) < 2 or abs(x + y - 15) < 2:
        if 2 <= x < 14 and 2 <= y < 14:
            return bgra(0xD0, 0x20, 0x20)
    return CLEAR


def check_list(checked_rows):
    def draw(x, y):
        for row, checked in enumerate(checked_rows):
            top = 1 + row * 5
            if not top <= y < top + 4:
                continue
            if x in (1, 5) or y in (top, top + 3):
                if 1 <= x <= 5:
                    return DARK
            if 1 < x < 5 and checked:
                return bgra(0x20, 0x90, 0x20)
            if 1 < x < 5:
                return WHITE
            if 7 <= x < 15 and top + 1 <= y < top + 3:
                return bgra(0x30, 0x50, 0xA0)
        return CLEAR
    return draw


def formatted_page(x, y):
    if not (2 <= x < 14 and 1 <= y < 15):
        return CLEAR
    if x in (2, 13) or y in (1, 14):
        return DARK
    # a bold "A" in the page
    if 4 <= y < 13 and (abs(2 * x - 15) in (y - 3, y - 2)):
        return bgra(0xC0, 0x20, 0x80)
    if y == 9 and 5 <= x < 11:
        return bgra(0xC0, 0x20, 0x80)
    return WHITE


def start_application(x, y):
    if not (1 <= x < 15 and 2 <= y < 14):
        return CLEAR
    if x in (1, 14) or y in (2, 13):
        return DARK
    if y in (3, 4):
        return bgra(0x30, 0x50, 0xA0)        # the title bar
    # a right-pointing arrow in the window
    if 5 <= x < 11 and abs(2 * y - 17) <= 2 * (11 - x) - 1 and 6 <= y < 12:
        return bgra(0x20, 0xA0, 0x30)
    return WHITE


# Icons drawn as 16 x 16 character grids: each character picks a colour of PALETTE ("." is clear).
PALETTE = {
    ".": CLEAR,
    "k": DARK,
    "w": WHITE,
    "b": bgra(0x30, 0x50, 0xA0),   # blue
    "l": bgra(0x90, 0xB8, 0xE8),   # light blue
    "g": bgra(0x20, 0xA0, 0x30),   # green
    "r": bgra(0xD0, 0x20, 0x20),   # red
    "o": bgra(0xE0, 0x90, 0x10),   # orange
    "y": bgra(0xF0, 0xD0, 0x40),   # yellow
    "n": bgra(0x90, 0x60, 0x30),   # brown
    "s": bgra(0xA0, 0xA0, 0xA0),   # silver
}


def grid(rows):
    assert len(rows) == 16 and all(len(row) == 16 for row in rows), rows

    def draw(x, y):
        return PALETTE[rows[y][x]]
    return draw


COPY = grid([
    "kkkkkkkk........",
    "kwwwwwwk........",
    "kwbbbbwk........",
    "kwwwwwwk........",
    "kwbbbkkkkkkkk...",
    "kwwwwkwwwwwwk...",
    "kwbbbkwbbbbwk...",
    "kwwwwkwwwwwwk...",
    "kwbbbkwbbbbwk...",
    "kkkkkkwwwwwwk...",
    ".....kwbbbbwk...",
    ".....kwwwwwwk...",
    ".....kwbbbbwk...",
    ".....kwwwwwwk...",
    ".....kkkkkkkk...",
    "................",
])
CUT = grid([
    "....k......k....",
    "....ks....sk....",
    ".....ks..sk.....",
    ".....ks..sk.....",
    "......kssk......",
    "......kssk......",
    ".......kk.......",
    "......kkkk......",
    ".....rr..rr.....",
    "....rr....rr....",
    "...rr.....rr....",
    "..rr.rr..rr.rr..",
    "..r...r..r...r..",
    "..r...r..r...r..",
    "...rrr....rrr...",
    "................",
])
PASTE = grid([
    ".....kkkk.......",
    ".nnnnkssknnnn...",
    ".nyyykkkkyyyn...",
    ".nyyyyyyyyyyn...",
    ".nyyykkkkkkkkk..",
    ".nyyykwwwwwwwk..",
    ".nyyykwbbbbbwk..",
    ".nyyykwwwwwwwk..",
    ".nyyykwbbbbbwk..",
    ".nyyykwwwwwwwk..",
    ".nyyykwbbbbbwk..",
    ".nyyykwwwwwwwk..",
    ".nnnnkwbbbbbwk..",
    ".....kwwwwwwwk..",
    ".....kkkkkkkkk..",
    "................",
])
UNDO = grid([
    "................",
    "................",
    "....b...........",
    "...bb...........",
    "..bbbbbbbbb.....",
    ".bbbbbbbbbbbb...",
    "..bbbbbbbbbbbb..",
    "...bb......bbb..",
    "....b.......bb..",
    "............bb..",
    "............bb..",
    "...........bbb..",
    ".........bbbb...",
    ".........bbb....",
    "................",
    "................",
])
REDO = grid([row[::-1] for row in [
    "................",
    "................",
    "....g...........",
    "...gg...........",
    "..ggggggggg.....",
    ".gggggggggggg...",
    "..gggggggggggg..",
    "...gg......ggg..",
    "....g.......gg..",
    "............gg..",
    "............gg..",
    "...........ggg..",
    ".........gggg...",
    ".........ggg....",
    "................",
    "................",
]])
INTO_MENU_NAME = grid([
    "kkkkkkkkkkkkkkk.",
    "kbbbbbbbbbbbbbk.",
    "kwwwwwwwwwwwwwk.",
    "kwoooooooooowwk.",
    "kwwwwwwwwwwwwwk.",
    "kwsssssssswwwwk.",
    "kwwwwwwwwwwwwwk.",
    "kwsssssssssswwk.",
    "kkkkkkkkkkkkkkk.",
    "................",
    "......g.........",
    ".....ggg........",
    "....ggggg.......",
    "......g.........",
    "..kkkkkkkkkk....",
    "..koooooooook...",
])
MACRO = grid([
    "................",
    ".kk..........kk.",
    ".k..oo.....o..k.",
    ".k.o..o...o...k.",
    ".k.o..o..o....k.",
    ".k..oo..o.....k.",
    ".k.....o......k.",
    ".k....o.......k.",
    ".k...o..oo....k.",
    ".k..o..o..o...k.",
    ".k.o...o..o...k.",
    ".k......oo....k.",
    ".kk..........kk.",
    "................",
    "..bbbbbbbbbbbb..",
    "................",
])
LOCK = grid([
    "................",
    ".....kkkkkk.....",
    "....ks....sk....",
    "...ks......sk...",
    "...ks......sk...",
    "...ks......sk...",
    "..kkkkkkkkkkkk..",
    "..kyyyyyyyyyyk..",
    "..kyoooooooooyk.",
    "..kyyyykkyyyyk..",
    "..kyyyykkyyyyk..",
    "..kyyyyykyyyyk..",
    "..kyoooooooooyk.",
    "..kyyyyyyyyyyk..",
    "..kkkkkkkkkkkk..",
    "................",
])

HOME = grid([
    ".......kk.......",
    "......krrk..kk..",
    ".....krrrrk.kk..",
    "....krrrrrrkkk..",
    "...krrrrrrrrkk..",
    "..krrrrrrrrrrk..",
    ".kkkkkkkkkkkkkk.",
    "..kwwwwwwwwwwk..",
    "..kwllwwwkkkwk..",
    "..kwllwwwknkwk..",
    "..kwwwwwwknkwk..",
    "..kwwwwwwknkwk..",
    "..kwwwwwwknkwk..",
    "..kkkkkkkkkkkk..",
    "gggggggggggggggg",
    "................",
])
SUPPORT = grid([
    ".....bbbbbb.....",
    "...bbbbbbbbbb...",
    "..bbbbwwwwbbbb..",
    ".bbbbwwbbwwbbbb.",
    ".bbbbbbbbwwbbbb.",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbwwbbbbbbb",
    "bbbbbbbwwbbbbbbb",
    "bbbbbbbwwbbbbbbb",
    "bbbbbbbbbbbbbbbb",
    ".bbbbbbwwbbbbbb.",
    ".bbbbbbwwbbbbbb.",
    "..bbbbbbbbbbbb..",
    "...bbbbbbbbbb...",
    ".....bbbbbb.....",
    "................",
])
FORUM = grid([
    "kkkkkkkkkk......",
    "kyyyyyyyyk......",
    "kykkkkkkyk......",
    "kyyyyyyyyk......",
    "kykkkkyykkkkkkkk",
    "kyyyyyyykllllllk",
    "kkkyykkkklkkkklk",
    "..kyk...kllllllk",
    "..kk....klkkkllk",
    "........kllllllk",
    "........kkkkllkk",
    "...........klk..",
    "............kk..",
    "................",
    "................",
    "................",
])
VIDEO = grid([
    "................",
    "................",
    ".rrrrrrrrrrrrrr.",
    "rrrrrrrrrrrrrrrr",
    "rrrrrrwrrrrrrrrr",
    "rrrrrrwwrrrrrrrr",
    "rrrrrrwwwrrrrrrr",
    "rrrrrrwwwwrrrrrr",
    "rrrrrrwwwwrrrrrr",
    "rrrrrrwwwrrrrrrr",
    "rrrrrrwwrrrrrrrr",
    "rrrrrrwrrrrrrrrr",
    "rrrrrrrrrrrrrrrr",
    ".rrrrrrrrrrrrrr.",
    "................",
    "................",
])
GROUP = grid([
    ".bbbbbbbbbbbbbb.",
    "bbbbbbbbbbbbbbbb",
    "bbbbbbbbbwwwwbbb",
    "bbbbbbbbwwwwwbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbwwwwwwbbbb",
    "bbbbbbwwwwwwbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    "bbbbbbbbwwbbbbbb",
    ".bbbbbbbwwbbbbb.",
])
REGIONAL_GROUP = grid([
    ".llllllllllllll.",
    "llllllllllllllll",
    "llllllllllllllll",
    "llllllllllllllll",
    "lbllllblbllllbll",
    "lbllllblbllbllll",
    "llbllbllblbllll"+"l",
    "llbllbllbbllllll",
    "lllbbllllbblllll",
    "lllbbllllblbllll",
    "llllllllblllblll",
    "llllllllllllllll",
    "llllllllllllllll",
    "llllllllllllllll",
    "llllllllllllllll",
    ".llllllllllllll.",
])
MESSENGER = grid([
    ".....llllll.....",
    "...llllllllll...",
    "..llllllllllll..",
    ".lllllllllllwwl.",
    ".llllllllwwwwwl.",
    "lllllllwwwwwwwll",
    "llllwwwwwwwwwlll",
    "lwwwwwwwwwwwwlll",
    "llllwwwwsswwllll",
    "lllllllwswwwllll",
    "lllllllwllwwllll",
    ".llllllllllwwll.",
    ".lllllllllllwll.",
    "..llllllllllll..",
    "...llllllllll...",
    ".....llllll.....",
])
NEWS = grid([
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kwrrrrrrrrrrwk.",
    ".kwrrrrrrrrrrwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwllllwsssswwk.",
    ".kwlbblwwwwwwwk.",
    ".kwlbblwsssswwk.",
    ".kwllllwwwwwwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwsssssssssswk.",
    ".kwwwwwwwwwwwwk.",
    ".kwsssssssswwwk.",
    ".kkkkkkkkkkkkkk.",
    "................",
])
GLOBE = grid([
    ".....kkkkkk.....",
    "...kkllbbllkk...",
    "..kllgglbllllk..",
    ".klggggbblgglbk.",
    ".kggggglbllgggk.",
    "kbbbbbbbbbbbbbbk",
    "klgggllbbllgglgk",
    "kllgglllbllggllk",
    "kllllllbbllglllk",
    "kbbbbbbbbbbbbbbk",
    ".klllggbblllllk.",
    ".kllggglbllllbk.",
    "..klllglbllllk..",
    "...kkllbbllkk...",
    ".....kkkkkk.....",
    "................",
])
HIDE_PANE = grid([
    "kkkkkkkkkkkkkkk.",
    "kbbbbbbbbbbbbbk.",
    "kwwwwwwwwwwwwwk.",
    "kwwwwwwwwwwwwwk.",
    "kwwwwwwwwwwwwwk.",
    "kkkkkkkkkkkkkkk.",
    "kssssssssssssskk",
    "ksssssgggssssssk",
    "ksssssgggssssssk",
    "ksssssgggssssssk",
    "kssgggggggggsssk",
    "ksssgggggggssssk",
    "kssssgggggsssssk",
    "ksssssgggssssssk",
    "kssssssgsssssssk",
    "kkkkkkkkkkkkkkkk",
])
SAVE_CLOSE = grid([
    "kkkkkkkkkkkk....",
    "kbksssssskbk....",
    "kbkssssksbbbk...",
    "kbkssssksbbbk...",
    "kbksssssskbbk...",
    "kbbkkkkkkbbbk...",
    "kbbbbbbbbbbbk...",
    "kbwwwwwwwwwbk...",
    "kbwkkkkkkkwbk...",
    "kbwwwwwwwwwbk...",
    "kbwkkkkkkrr...rr",
    "kkkkkkkkkkrr.rr.",
    "...........rrr..",
    "...........rrr..",
    "..........rr.rr.",
    ".........rr...rr",
])

MENU_COMMANDS = grid([
    "kkkkkkkkkkkkk...",
    "kwwwwwwwwwwwk...",
    "kwbbbbbbbwwwk...",
    "kwwwwwwwwwwwk...",
    "kwbbbbbbwwwwk...",
    "kwwwwwwwwwwwk...",
    "kkkkkkkkkkkkk...",
    "kwwwwwwwwwwwk...",
    "kwgwsssssswwk...",
    "kwggwwwwwwwwk...",
    "kgwgwssssswwk...",
    "kwwwwwwwwwwwk...",
    "kwgwsssssssskg..",
    "kwggwwwwwwwgg...",
    "kgwgwsssssgkg...",
    "kkkkkkkkkkkg....",
])


def image(size, draw):
    scale = 16.0 / size
    rows = []
    for y in reversed(range(size)):            # DIBs are stored bottom-up
        rows.append(b"".join(bytes(draw(int(x * scale), int(y * scale))) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)       # the alpha channel decides
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def write_icon(name, draw):
    images = [image(size, draw) for size in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    write_icon("EditorAdd.ico", plus)
    write_icon("EditorDelete.ico", cross)
    write_icon("EditorAllPhrases.ico", check_list([True, False, True]))
    write_icon("EditorCheckedOnly.ico", check_list([True, True, True]))
    write_icon("EditorFormatted.ico", formatted_page)
    write_icon("EditorStartApplication.ico", start_application)
    write_icon("EditorCopy.ico", COPY)
    write_icon("EditorCut.ico", CUT)
    write_icon("EditorPaste.ico", PASTE)
    write_icon("EditorUndo.ico", UNDO)
    write_icon("EditorRedo.ico", REDO)
    write_icon("EditorIntoMenuName.ico", INTO_MENU_NAME)
    write_icon("EditorMacro.ico", MACRO)
    write_icon("EditorReadOnly.ico", LOCK)
    write_icon("EditorHomePage.ico", HOME)
    write_icon("EditorSupport.ico", SUPPORT)
    write_icon("EditorForum.ico", FORUM)
    write_icon("EditorVideo.ico", VIDEO)
    write_icon("EditorGroup.ico", GROUP)
    write_icon("EditorRegionalGroup.ico", REGIONAL_GROUP)
    write_icon("EditorMessenger.ico", MESSENGER)
    write_icon("EditorNews.ico", NEWS)
    write_icon("EditorGlobe.ico", GLOBE)
    write_icon("EditorHidePane.ico", HIDE_PANE)
    write_icon("EditorSaveClose.ico", SAVE_CLOSE)
    write_icon("EditorMenuCommands.ico", MENU_COMMANDS)
