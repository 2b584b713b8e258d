#pragma once

// The pointing-hand cursor of the editor's link controls: built once from a
// built-in 32 x 32 image (hot spot 5, 0) and kept for the life of the process.

#include <windows.h>

HCURSOR GetLinkHandCursor();
