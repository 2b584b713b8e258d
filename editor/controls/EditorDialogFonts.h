#pragma once
// The editor's shared dialog fonts ("MS Shell Dlg"), made once per process and never deleted by
// callers: the normal one and the large one of the phrase text.

#include <windows.h>

HFONT GetEditorDialogFont();
HFONT GetEditorLargeDialogFont();
