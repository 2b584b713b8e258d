#pragma once
// The texts a menu's macro previews are expanded with, taken at the moment of the request.

#include "platform/CString.h"

class CMacroContext
{
public:
    CString clipboardText;
    CString selectedText;
};

// Stores the selected text and the clipboard's Unicode text read now (empty when there is none).
void FillMacroContext(CMacroContext& context, const CString& selected);
