#include "editor/app/settings/MiscSettingsPageTexts.h"

#include <shellapi.h>

#include "common/LocalizedString.h"
#include "common/RegistryValue.h"
#include "common/TextDecoration.h"
#include "editor/app/settings/EditorSettingsRes.h"

namespace
{
constexpr int kRuleLength = 25;

CString ComboItemText(HWND combo, int index)
{
    const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0)
        return CString();
    CString text;
    const auto written =
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(length) + 1)));
    text.ReleaseBuffer(written == CB_ERR ? 0 : static_cast<int>(written));
    return text;
}

// The class's own text: HKEY_CLASSES_ROOT\<extension> names the class, the class key's default value
// describes it.
CString RegisteredTypeDescription(LPCWSTR extension)
{
    CString className;
    if (!ReadRegistryString(HKEY_CLASSES_ROOT, extension, nullptr, className) || className.IsEmpty())
        return CString();
    CString description;
    ReadRegistryString(HKEY_CLASSES_ROOT, className, nullptr, description);
    return description;
}
} // namespace

CString AutoUpdatesTip(const CString& lastCheck)
{
    return LoadLocalizedString(IDS_SET_AUTO_UPDATES_TIP) + L"\r\n" +
           LoadLocalizedString(IDS_SET_AUTO_UPDATES_DAYS_TIP) + L"\r\n\r\n" +
           LoadLocalizedString(IDS_SET_LAST_CHECK) + L": " + lastCheck;
}

CString WriteLogTip(const CString& logPath)
{
    return LoadLocalizedString(IDS_SET_LOG_FILE) + L": " + logPath + L"\n" +
           LoadLocalizedString(IDS_SET_LOG_SLOWS_DOWN);
}

CString SoundsTip()
{
    return LoadLocalizedString(IDS_SET_SOUNDS_TIP) + L"\r\n" + LoadLocalizedString(IDS_SET_SOUNDS_TIP_SAMPLE);
}

CString SelectedComboItemTip(HWND combo)
{
    const auto selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? CString() : ComboItemText(combo, static_cast<int>(selected));
}

CString ComboChoicesTip(HWND combo)
{
    const int selected = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    CString tip = SelectedComboItemTip(combo);
    AppendDashLine(tip, kRuleLength, false);
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (i != selected)
            tip += L"\n" + MakeSpaces(5) + MakeBulletItem(ComboItemText(combo, i));
    return tip;
}

CString GetFileTypeDescription(LPCWSTR extension)
{
    SHFILEINFOW info = {};
    if (::SHGetFileInfoW(extension, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                         SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) &&
        info.szTypeName[0])
        return info.szTypeName;
    return RegisteredTypeDescription(extension);
}

CString FormatRowText(const CString& description, const CString& kind, LPCWSTR extension)
{
    CString text = description.IsEmpty() ? CString() : description + L", ";
    return text + kind + L" [" + extension + L"]";
}
