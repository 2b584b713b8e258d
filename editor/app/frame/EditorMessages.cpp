#include "editor/app/frame/EditorMessages.h"
#include "common/HandedOutAddresses.h"

namespace
{

UINT Register(LPCWSTR name)
{
    return ::RegisterWindowMessageW(name);
}

} // namespace

UINT GetEditorInstanceMessage()
{
    static const UINT message = Register(L"SCV_1A80D5B9-1905-4d8c-BDFB-F37358C6F3F2");
    return message;
}

UINT GetEditorOptionsChangedMessage()
{
    static const UINT message = Register(L"{D383DD91-44A7-40cb-9EDB-185DCAAD6F50}");
    return message;
}

UINT GetEditorAddFromClipboardMessage()
{
    static const UINT message = Register(L"{064CEBAB-27E2-48dd-B075-A67B247EA057}");
    return message;
}

UINT GetEditorAddSelectedTextMessage()
{
    static const UINT message = Register(L"{4C3D8821-E732-401d-9FE0-AF310D1030FA}");
    return message;
}

UINT GetEditorNewPhraseFromClipboardMessage()
{
    static const UINT message = Register(L"{08AC3E0E-2319-4770-BC8A-5B7981E0800F");
    return message;
}

UINT GetEditorStatusTextMessage()
{
    static const UINT message = Register(L"{3875692C-ED88-4395-98D9-42698D67B08A}");
    return message;
}

UINT GetEditorSelectListItemMessage()
{
    static const UINT message = Register(L"{71534116-A032-477b-A496-3C114DD9F35D}");
    return message;
}

UINT GetEditorSaveFailedMessage()
{
    static const UINT message = Register(L"Scrivolanter_EditorSaveFailed");
    return message;
}

LRESULT SendEditorStatusText(HWND frame, LPCWSTR text)
{
    if (!text)
        return 0;
    CHandOverScope handed(HandOverKind::OwnWindowData, text, (::lstrlenW(text) + 1) * sizeof(wchar_t));
    return ::SendMessageW(frame, GetEditorStatusTextMessage(), 0, reinterpret_cast<LPARAM>(text));
}
