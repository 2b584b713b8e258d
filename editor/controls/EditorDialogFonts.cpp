#include "editor/controls/EditorDialogFonts.h"

namespace
{

HFONT MakeShellDlgFont(int height)
{
    LOGFONTW description = {};
    description.lfHeight = height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return ::CreateFontIndirectW(&description);
}

} // namespace

HFONT GetEditorDialogFont()
{
    static const HFONT font = MakeShellDlgFont(-11);
    return font;
}

HFONT GetEditorLargeDialogFont()
{
    static const HFONT font = MakeShellDlgFont(-15);
    return font;
}
