#pragma once

// The HTML IMG tag of an embedded picture.

#include "platform/CString.h"

// The attributes of one IMG tag. Numbers of -1 and empty strings are left out.
struct ImgTagRecord
{
    CString src;
    CString alt;
    int width = -1;
    int height = -1;
    int border = -1;
    int hspace = -1;
    int vspace = -1;
    CString style;
    int vAlign = -1; // VAlignToStr code
    int hAlign = -1; // HAlignToStr code
    CString id;
};

// "<IMG" + SRC, ALT, BORDER, WIDTH, HEIGHT, VSPACE, HSPACE, ID, STYLE (each
// after one blank) + ">". A value of exactly one blank is written as an empty
// quoted value. Values are quoted with double quotes, or with apostrophes when
// they hold a double quote (and not an apostrophe); a value holding both
// writes its double quotes as &quot;.
CString BuildImgTag(const ImgTagRecord& image);

// 0 "TOP", 1 "MIDDLE", 2 "BOTTOM", else empty.
CString VAlignToStr(int code);
// 0 "LEFT", 1 "CENTER", 2 "RIGHT", else empty.
CString HAlignToStr(int code);
