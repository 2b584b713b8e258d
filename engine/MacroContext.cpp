#include "engine/MacroContext.h"

#include "engine/MacroEnvironment.h"

void FillMacroContext(CMacroContext& context, const CString& selected)
{
    context.selectedText = selected;
    context.clipboardText = GetMacroEnvironment().ReadClipboardText();
}
