// The editor's window services on real controls: the rich-edit set-up, combo drop widths, keyboard
// layouts, bold window fonts, the regional web pages and the phrase-kind image list.
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/app/phrases/PhraseKindImages.h"

#include "common/GdiObjectGuards.h"
#include "editor/controls/EditorLook.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <richedit.h>

namespace
{

HWND MakeWindow(LPCWSTR windowClass, DWORD style, int width, int height, HWND parent = nullptr)
{
    return ::CreateWindowExW(0, windowClass, L"", style | (parent ? WS_CHILD : WS_POPUP), 0, 0, width, height,
                             parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

TEST(EditorWindowServices, RichEditSetupSetsFontOptionsMarginsAndFormatRect)
{
    ASSERT_TRUE(::LoadLibraryW(L"RichEd20.dll"));
    HWND edit = MakeWindow(L"RichEdit20W", ES_MULTILINE, 300, 200);
    ASSERT_NE(edit, nullptr);
    RECT before{};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&before));

    ASSERT_TRUE(SetupRichEditMargins(edit));
    // Wine's rich edit answers no WM_GETFONT and keeps ECO_AUTOVSCROLL out of EM_GETOPTIONS.
    const auto options = static_cast<DWORD>(::SendMessageW(edit, EM_GETOPTIONS, 0, 0));
    for (DWORD option : {ECO_AUTOWORDSELECTION, ECO_NOHIDESEL, ECO_SELECTIONBAR})
        EXPECT_TRUE(options & option) << option;
    RECT after{};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after.top, before.top + 7);
    EXPECT_FALSE(SetupRichEditMargins(nullptr));
    ::DestroyWindow(edit);
}

TEST(EditorWindowServices, ComboDropWidthIsAShareOfTheComboWidth)
{
    HWND parent = MakeWindow(L"STATIC", 0, 400, 300);
    HWND combo = MakeWindow(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VISIBLE, 120, 200, parent);
    RECT rect{};
    ::GetWindowRect(combo, &rect);
    const int width = rect.right - rect.left;
    ASSERT_TRUE(SetComboDropWidth(combo, 200));
    EXPECT_EQ(::SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), 2 * width);
    EXPECT_FALSE(SetComboDropWidth(nullptr, 200));
    ::DestroyWindow(parent);
}

TEST(EditorWindowServices, KeyboardLayoutAndBoldFontOfAWindow)
{
    HWND window = MakeWindow(L"STATIC", 0, 50, 20);
    const WORD own = LOWORD(reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(0)));
    EXPECT_EQ(GetKeyboardLayoutOf(window), own);
    EXPECT_EQ(GetKeyboardLayoutOf(nullptr), own) << "no window: the calling thread's layout";
    EXPECT_EQ(GetKeyboardLocaleOf(window), MAKELCID(own, SORT_DEFAULT));

    LOGFONTW description{};
    description.lfHeight = -13;
    description.lfWeight = FW_NORMAL;
    description.lfItalic = TRUE;
    GdiObject<HFONT> font(::CreateFontIndirectW(&description));
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    GdiObject<HFONT> bold(CreateBoldWindowFont(window));
    ASSERT_TRUE(bold);
    LOGFONTW read{};
    ::GetObjectW(bold.get(), sizeof(read), &read);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    EXPECT_EQ(read.lfHeight, -13);
    EXPECT_TRUE(read.lfItalic) << "only the weight changes";
    ::DestroyWindow(window);
}

TEST(EditorWindowServices, RegionalPagesFollowTheLanguagePrefix)
{
    scvtest::TempFolder folder;
    const std::wstring russian = folder.WriteBytes(L"ru.lng", "[Main]\r\nLangPrefix=ru\r\n");
    const std::wstring german = folder.WriteBytes(L"de.lng", "[Main]\r\nLangPrefix=de\r\n");
    EXPECT_TRUE(IsRuUrlsLanguageFile(russian.c_str()));
    EXPECT_FALSE(IsRuUrlsLanguageFile(german.c_str()));
    EXPECT_FALSE(IsRuUrlsLanguageFile(CString())) << "no language file named";
}

TEST(EditorWindowServices, PhraseKindImagesHaveEveryIndexAt18Pixels)
{
    HIMAGELIST list = GetPhraseKindImageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetPhraseKindImageList(), list) << "one list for the process";
    EXPECT_EQ(ImageList_GetImageCount(list), kPhraseKindImageCount);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 18);
    EXPECT_EQ(cy, 18);

    const struct
    {
        int kind;
        bool group;
        int image;
    } cases[] = {{0, false, kImagePlainText},
                 {1, false, kImageFormattedText},
                 {2, false, kImageStartApplication},
                 {7, false, kImagePlainText},
                 {1, true, kImageFolderClosed}};
    for (const auto& c : cases)
        EXPECT_EQ(PhraseKindImageIndex(c.kind, c.group), c.image) << c.kind;

    const CString extension = FindFormattedTextExtension();
    EXPECT_TRUE(extension.IsEmpty() || extension == L".doc" || extension == L".docx" || extension == L".rtf");
}

} // namespace
