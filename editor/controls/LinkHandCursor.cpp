#include "editor/controls/LinkHandCursor.h"

namespace
{

// 'X' black, '.' white, blank transparent; rows of 32 columns (shorter rows
// are transparent to the right).
const char* const kHand[] = {
    "    XX",         "   X..X",        "   X..X",        "   X..X",         "   X..X",
    "   X..XXX",      "   X..X..XXX",   "   X..X..X..XX", "XX X..X..X..X.X", "X..XX........X",
    "X...X........X", " X...........X", "  X..........X", "  X.........X",   "   X........X",
    "   X.......X",   "    X......X",   "    X......X",   "    XXXXXXXX",
};

HCURSOR BuildHand()
{
    BYTE andMask[32 * 4];
    BYTE xorMask[32 * 4] = {};
    FillMemory(andMask, sizeof(andMask), 0xFF);
    for (int row = 0; row < static_cast<int>(sizeof(kHand) / sizeof(kHand[0])); ++row) {
        for (int col = 0; kHand[row][col] && col < 32; ++col) {
            const char c = kHand[row][col];
            if (c == ' ')
                continue;
            const int byte = row * 4 + col / 8;
            const BYTE bit = static_cast<BYTE>(0x80 >> (col % 8));
            andMask[byte] &= static_cast<BYTE>(~bit);
            if (c == '.')
                xorMask[byte] |= bit;
        }
    }
    return ::CreateCursor(::GetModuleHandleW(nullptr), 5, 0, 32, 32, andMask, xorMask);
}

} // namespace

HCURSOR GetLinkHandCursor()
{
    static HCURSOR cursor = BuildHand();
    return cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
}
