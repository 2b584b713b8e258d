#include "editor/controls/EditorLook.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "common/InvariantCompare.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/TextDecoration.h"
#include "engine/PhraseItemRecord.h"
#include "platform/CAppModule.h"

namespace
{

// One font of the process, made on first use and deleted at exit.
class CachedFont
{
public:
    ~CachedFont()
    {
        if (m_font)
            ::DeleteObject(m_font);
    }
    template <typename Make>
    HFONT Get(Make make)
    {
        if (!m_font)
            m_font = make();
        return m_font;
    }

private:
    HFONT m_font = nullptr;
};

bool GetCaptionLogFont(LOGFONTW& font)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return false;
    font = metrics.lfCaptionFont;
    return true;
}

HFONT MakeFromCaption(int weight, int heightPercent)
{
    LOGFONTW font = {};
    if (!GetCaptionLogFont(font))
        return nullptr;
    font.lfWeight = weight;
    font.lfHeight = font.lfHeight * heightPercent / 100;
    ::lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

template <typename Change>
HFONT MakeFromDialogFont(Change change)
{
    LOGFONTW font = {};
    HFONT dialog = GetDialogFont();
    if (!dialog || !::GetObjectW(dialog, sizeof(font), &font))
        return nullptr;
    change(font);
    return ::CreateFontIndirectW(&font);
}

std::unique_ptr<CMenuLocalizer>& EditorMenuLocalizer()
{
    static std::unique_ptr<CMenuLocalizer> localizer;
    return localizer;
}

// The editor's localizer: items made at run time keep their texts.
class CEditorMenuLocalizer : public CMenuLocalizer
{
public:
    explicit CEditorMenuLocalizer(LPCWSTR path) : CMenuLocalizer(path, L"_Editor")
    {
        ExcludeCommandRange(30100, 30149);
        ExcludeCommandRange(30000, 30049);
        ExcludeCommandRange(30150, 30159);
    }
    BOOL DefaultTrue(UINT commandId) override { return commandId < 30100 || commandId > 30149; }
};

} // namespace

HFONT GetDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromCaption(FW_NORMAL, 100); });
}

HFONT GetNormalDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromDialogFont([](LOGFONTW& f) { f.lfWeight = FW_NORMAL; }); });
}

HFONT GetItalicDialogFont()
{
    static CachedFont font;
    return font.Get([] {
        return MakeFromDialogFont([](LOGFONTW& f) {
            f.lfWeight = FW_NORMAL;
            f.lfItalic = TRUE;
        });
    });
}

HFONT GetBoldDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromDialogFont([](LOGFONTW& f) { f.lfWeight = FW_BOLD; }); });
}

HFONT GetMediumDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromDialogFont([](LOGFONTW& f) { f.lfHeight += f.lfHeight / 4; }); });
}

HFONT GetLargeDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromCaption(FW_NORMAL, 150); });
}

HFONT GetBoldLargeDialogFont()
{
    static CachedFont font;
    return font.Get([] { return MakeFromCaption(FW_BOLD, 130); });
}

HFONT CreateStrikeOutFont(HFONT font)
{
    LOGFONTW logFont = {};
    if (!font || !::GetObjectW(font, sizeof(logFont), &logFont))
        return nullptr;
    logFont.lfStrikeOut = TRUE;
    return ::CreateFontIndirectW(&logFont);
}

COLORREF GetGrayTextColor()
{
    static const COLORREF color = ::GetSysColor(COLOR_GRAYTEXT);
    return color;
}

COLORREF GetWindowColor()
{
    return ::GetSysColor(COLOR_WINDOW);
}

COLORREF GetWindowTextColor()
{
    return ::GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF GetPhraseTextColor(const PhraseItemRecord& record)
{
    if (!record.HasIncludedContent())
        return GetGrayTextColor();
    switch (record.dataType) {
    case MenuItemRecord::kTypeRtf:
        return RGB(0, 0x80, 0);
    case MenuItemRecord::kTypeExec:
        return RGB(0, 0, 0xFF);
    default:
        return GetWindowTextColor();
    }
}

CString ColorToHex(COLORREF color)
{
    CString text;
    text.Format(L"%.2X%.2X%.2X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

CString MakeCharRun(wchar_t ch, int n)
{
    return RepeatChar(ch, n);
}

CString MakeGuillemetsAlt(int n)
{
    return RepeatChar(L'\x00BB', n);
}

std::wstring AnsiToWString(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(chars, 0)), L'\0');
    if (chars > 0)
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &text[0], chars);
    return text;
}

void AppendDefaultDashLine(CString& text, bool newlineAfter)
{
    AppendDashLine(text, 30, newlineAfter);
}

CString MapCaseCopy(const CString& text)
{
    CString copy = text;
    if (copy.IsEmpty() || !MakeUpperInvariant(copy))
        return CString();
    return copy;
}

wchar_t ToUpperChar(wchar_t ch)
{
    CString text(ch);
    return MakeUpperInvariant(text) ? text[0] : ch;
}

int FindStringOpt(LPCWSTR pattern, LPCWSTR text, int start)
{
    return FindTextCaseOpt(text, pattern, start);
}

HMENU LoadLocalizedMenu(UINT menuId)
{
    HMENU menu = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(menuId));
    if (menu)
        LocalizeMenu(menu);
    return menu;
}

void LocalizeMenu(HMENU menu)
{
    if (menu && EditorMenuLocalizer())
        EditorMenuLocalizer()->LocalizeMenu(menu);
}

void StartEditorMenuLocalizer(LPCWSTR path)
{
    SetLanguageFileForStrings(path, L"_Editor");
    if (EditorMenuLocalizer()) {
        EditorMenuLocalizer()->SetLanguageFile(path);
        return;
    }
    EditorMenuLocalizer() = std::make_unique<CEditorMenuLocalizer>(path);
}
