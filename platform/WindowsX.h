#pragma once

// The message-cracker macros of <windowsx.h> (GET_X_LPARAM and friends) without
// its SubclassWindow macro, which would hide the window classes' member of that name.

#include <windowsx.h>

#ifdef SubclassWindow
#undef SubclassWindow
#endif
