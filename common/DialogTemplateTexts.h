#pragma once
// The controls of a dialog template resource as the template stores them: id, window class and text.
// Reads both the classic and the extended template; bounded by the resource's size, so a damaged
// template ends the list early instead of reading past its end.

#include "platform/CString.h"

#include <windows.h>

#include <cstddef>
#include <vector>

struct DialogTemplateControl
{
    int id = 0;
    // The predefined class as its atom ordinal (0x80 button, 0x81 edit, 0x82 static, 0x83 list box,
    // 0x84 scroll bar, 0x85 combo box), 0 when the class is named.
    WORD classOrdinal = 0;
    CString className;
    CString text; // empty when the template gives a resource ordinal (an icon) or nothing
};

std::vector<DialogTemplateControl> ReadDialogTemplateControls(const BYTE* data, size_t size);

// True for the window classes whose text the user types or picks (edit, rich edit, combo box,
// up-down): the dialog translator leaves them alone.
bool IsUntranslatedControlClass(const CString& className);
// True for controls whose text the user types or picks (edit, combo box, list box, scroll bar, up-down,
// rich edit): their template text is never translated.
bool IsUntranslatedDialogControl(const DialogTemplateControl& control);
