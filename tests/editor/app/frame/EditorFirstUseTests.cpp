// test-locks: desktop coopevent appevents
// test-sources: ../../../../editor/app/frame/ScrivolanterEditor.rc
// test-timeout: 150
// What a new user meets first in the real editor frame (resource set 128, the real phrase text view,
// settings pane and phrases pane over a temp folder): the text toolbar's captions and tips, the
// settings toolbar sized from its texts, a new phrase ready to type into once named, and a rename
// reaching the caption and the status bar.

#include "tests/editor/app/EditorFrameHarness.h"
#include "common/GdiHelpers.h"
#include "common/LanguageFile.h"
#include "editor/app/frame/MenuToolTipEditorClient.h"
#include "editor/app/text/SCVView.h"
#include "editor/app/settings/SettingsPaneContent.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/HotkeyCtrlEx.h"
#include "editor/app/settings/EditorSettingsRes.h"
#include "editor/controls/PhraseTextToolBar.h"
#include "online/CSCVUrl.h"
#include "platform/docview/App.h"

#include "support/MessagePump.h"
#include "support/Screenshot.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

constexpr wchar_t kFirstUseRunKey[] = L"Software\\ScrivolanterTests\\FirstUseRun";

struct ButtonFacts
{
    std::wstring text;
    BYTE style = 0;
    int width = 0;
};

ButtonFacts ReadButton(HWND toolbar, UINT command)
{
    wchar_t text[128] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    ::SendMessageW(toolbar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(text));
    RECT rect = {};
    const auto index = ::SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0);
    ::SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return {text, info.fsStyle, rect.right - rect.left};
}

int TextWidth(HWND window, const std::wstring& text)
{
    HDC dc = ::GetDC(window);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size.cx;
}

std::wstring InfoTip(HWND toolbar, UINT command)
{
    wchar_t text[512] = {};
    NMTBGETINFOTIPW request = {};
    request.hdr.hwndFrom = toolbar;
    request.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(toolbar));
    request.hdr.code = TBN_GETINFOTIPW;
    request.iItem = static_cast<int>(command);
    request.pszText = text;
    request.cchTextMax = 512;
    ::SendMessageW(::GetParent(toolbar), WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
    return text;
}

// The first window among the root's descendants with the control id.
HWND FindDescendantById(HWND root, int id)
{
    struct Search
    {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetDlgCtrlID(child) != s->id)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The toolbar among the window's descendants that holds the command.
HWND FindToolbarWith(HWND root, UINT command)
{
    struct Search
    {
        UINT command;
        HWND found;
    } search{command, nullptr};
    ::EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            const bool toolbar = ::lstrcmpiW(name, TOOLBARCLASSNAMEW) == 0 ||
                                 ::lstrcmpiW(name, L"ScvPhraseTextToolBar") == 0 ||
                                 ::lstrcmpiW(name, L"ScvLinksToolBar") == 0 ||
                                 ::lstrcmpiW(name, L"ScvSettingsPaneToolBar") == 0;
            if (toolbar && ::SendMessageW(child, TB_COMMANDTOINDEX, s->command, 0) >= 0) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class EditorFirstUseTest : public ::testing::Test, protected scvtest::EditorFrameHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseSettingsPaneOnKey<kFirstUseRunKey>());
        a = store.AddPhrase(L"Greeting", L"hello", 0, -1);
        ASSERT_GE(a, 0);
        ASSERT_TRUE(store.SaveItemAndWait(a));
        LoadSettings();
        ASSERT_TRUE(OpenFrame(128, RUNTIME_CLASS(CSCVView)));
        ::ShowWindow(frame->m_hWnd, SW_SHOW);
    }
    HWND Tree() { return frame->GetPhrasesPane().GetTree().m_hWnd; }
    void Select(int id)
    {
        HTREEITEM item = frame->GetPhrasesPane().GetTree().FindItemById(id);
        ASSERT_NE(nullptr, item);
        TreeView_SelectItem(Tree(), item);
        doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(id));
    }
    CSCVView* TextView()
    {
        for (CView* view : doc->GetViews())
            if (auto* text = dynamic_cast<CSCVView*>(view))
                return text;
        return nullptr;
    }
    std::wstring Caption()
    {
        wchar_t text[512] = {};
        ::GetWindowTextW(frame->m_hWnd, text, 512);
        return text;
    }
    std::wstring StatusText()
    {
        HWND status = ::GetDlgItem(frame->m_hWnd, 59393);
        wchar_t text[512] = {};
        if (status)
            ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }

    int a = -1;
};

} // namespace

TEST_F(EditorFirstUseTest, TextToolbarShowsItsCaptionsAndNamesEveryButtonInItsTip)
{
    Select(a);
    CSCVView* view = TextView();
    ASSERT_NE(nullptr, view);
    HWND toolbar = FindToolbarWith(view->m_hWnd, PhraseTextCommand::kReadOnly);
    ASSERT_NE(nullptr, toolbar);

    const struct
    {
        UINT command;
        const wchar_t* caption;
    } captions[] = {
        {PhraseTextCommand::kDataFormat, L"Plain text"},
        {PhraseTextCommand::kInsertMacro, L"Macro"},
        {PhraseTextCommand::kReadOnly, L"Read Only"},
    };
    for (const auto& expected : captions) {
        const ButtonFacts button = ReadButton(toolbar, expected.command);
        EXPECT_EQ(expected.caption, button.text) << expected.command;
        EXPECT_NE(0, button.style & BTNS_SHOWTEXT) << expected.command << " shows its caption";
        EXPECT_GT(button.width, 16 + TextWidth(toolbar, button.text))
            << expected.command << " holds icon and text";
    }

    const std::wstring macroTip = InfoTip(toolbar, PhraseTextCommand::kInsertMacro);
    EXPECT_EQ(0u, macroTip.find(L"Insert a macro")) << "the command comes first";
    EXPECT_NE(std::wstring::npos, macroTip.find(L"[Ctrl+Alt+K]"));
    const std::wstring formatTip = InfoTip(toolbar, PhraseTextCommand::kDataFormat);
    ASSERT_FALSE(formatTip.empty());
    EXPECT_NE(L'\n', formatTip[0]) << "no empty first line";
    EXPECT_NE(std::wstring::npos, formatTip.find(L"\n\nPaste the phrase as plain text"));
    for (UINT command :
         {PhraseTextCommand::kIntoMenuName, PhraseTextCommand::kRedo, PhraseTextCommand::kReadOnly})
        EXPECT_FALSE(InfoTip(toolbar, command).empty()) << command;
}

TEST_F(EditorFirstUseTest, SettingsToolbarHoldsSaveAndCloseWhole)
{
    ASSERT_NE(nullptr, frame->GetSettingsPane());
    HWND toolbar = FindToolbarWith(frame->m_hWnd, kSaveAndCloseCommand);
    ASSERT_NE(nullptr, toolbar);
    const ButtonFacts button = ReadButton(toolbar, kSaveAndCloseCommand);
    ASSERT_FALSE(button.text.empty());
    EXPECT_GE(button.width, TextWidth(toolbar, button.text)) << "the caption fits its button";
    RECT item = {};
    const auto index = ::SendMessageW(toolbar, TB_COMMANDTOINDEX, kSaveAndCloseCommand, 0);
    ::SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    RECT client = {};
    ::GetClientRect(toolbar, &client);
    EXPECT_GE(client.right, item.right) << "the toolbar shows the whole button";
}

TEST_F(EditorFirstUseTest, NewPhraseIsReadyToTypeIntoOnceNamedWhileAShownPhraseStaysReadOnly)
{
    Select(a);
    ASSERT_NE(nullptr, TextView());
    EXPECT_TRUE(TextView()->Edit().IsReadOnly()) << "an existing phrase opens read-only";

    ::SendMessageW(frame->GetPhrasesPane().m_hWnd, WM_COMMAND, PhrasesPane::kCmdNewPlain, 0);
    HWND edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit) << "the label edit starts";
    ::SetWindowTextW(edit, L"Fresh");
    TreeView_EndEditLabelNow(Tree(), FALSE);

    CSCVView* view = TextView();
    ASSERT_NE(nullptr, view);
    EXPECT_FALSE(view->Edit().IsReadOnly()) << "the new phrase takes typing at once";
    view->Edit().SetFocus();
    ::SendMessageW(view->Edit().m_hWnd, WM_CHAR, L'x', 0);
    wchar_t text[32] = {};
    ::GetWindowTextW(view->Edit().m_hWnd, text, 32);
    EXPECT_STREQ(L"x", text);
}

TEST_F(EditorFirstUseTest, RenameReachesTheCaptionAndTheStatusBar)
{
    Select(a);
    EXPECT_NE(std::wstring::npos, Caption().find(L"[Greeting]"));
    ::SendMessageW(frame->GetPhrasesPane().m_hWnd, WM_COMMAND, PhrasesPane::kCmdRename, 0);
    HWND edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit) << "the label edit starts";
    ::SetWindowTextW(edit, L"Farewell");
    TreeView_EndEditLabelNow(Tree(), FALSE);

    EXPECT_NE(std::wstring::npos, Caption().find(L"[Farewell]"));
    const PhraseItemRecord* record = store.FindItemById(a);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(std::wstring(record->GetPath().GetString()), StatusText());
}

TEST_F(EditorFirstUseTest, EmptyListShowsItsHintAndHeadersHoldTheirTexts)
{
    CFolderView* list = nullptr;
    for (CView* view : doc->GetViews())
        if (auto* folder = dynamic_cast<CFolderView*>(view))
            list = folder;
    ASSERT_NE(nullptr, list);
    list->Fill();
    ASSERT_EQ(0, list->GetItemCount()) << "nothing is selected at first";
    const std::wstring hint = list->GetEmptyHint().GetString();
    EXPECT_FALSE(hint.empty());

    // The hint is painted: grey text pixels in the band below the header.
    ::RedrawWindow(list->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client = {};
    ::GetClientRect(list->m_hWnd, &client);
    HDC dc = ::GetDC(list->m_hWnd);
    int grey = 0;
    const COLORREF text = ::GetSysColor(COLOR_GRAYTEXT);
    for (int y = 30; y < 90; ++y)
        for (int x = 0; x < client.right; x += 1)
            if (::GetPixel(dc, x, y) == text)
                ++grey;
    ::ReleaseDC(list->m_hWnd, dc);
    EXPECT_GT(grey, 20) << "the hint text is drawn";

    HWND header = reinterpret_cast<HWND>(::SendMessageW(list->m_hWnd, LVM_GETHEADER, 0, 0));
    ASSERT_NE(nullptr, header);
    for (int column = 0; column < 3; ++column) {
        wchar_t label[128] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = label;
        item.cchTextMax = 127;
        ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        const int width = static_cast<int>(::SendMessageW(list->m_hWnd, LVM_GETCOLUMNWIDTH, column, 0));
        EXPECT_GT(width, TextWidth(header, label) + 12) << "column " << column << " shows its whole header";
    }

    Select(a);
    list = nullptr;
    for (CView* view : doc->GetViews())
        if (auto* folder = dynamic_cast<CFolderView*>(view))
            list = folder;
    if (list) // the folder list may be swapped out while a phrase shows
        EXPECT_TRUE(list->GetEmptyHint().IsEmpty() || list->GetItemCount() == 0);
}

namespace
{

// The icon as drawn at 16 x 16 on black, 32-bit pixels.
std::vector<BYTE> IconPixels(HICON icon)
{
    const BITMAPINFO bmi = MakeTopDown32BitInfo(16, 16);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<BYTE> pixels;
    if (!bitmap)
        return pixels;
    HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    pixels.assign(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + 16 * 16 * 4);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    return pixels;
}

std::vector<BYTE> ResourceIconPixels(int id, int size)
{
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                 IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon)
        return {};
    std::vector<BYTE> pixels = IconPixels(icon);
    ::DestroyIcon(icon);
    return pixels;
}

// The menu tip's choice of icon, as the tip window asks for it.
struct TipIconProbe : CMenuToolTipEditorClient
{
    using CMenuToolTipEditorClient::CMenuToolTipEditorClient;
    using CMenuToolTipEditorClient::GetIconForId;
};

} // namespace

TEST_F(EditorFirstUseTest, ToolbarAndLinkIconsAreDrawnAndDistinct)
{
    // Each icon the text toolbar, the web links, the menu tips and the settings pane's toolbar use exists
    // in the editor's resources and differs from every other one and from the program icon.
    const int ids[] = {128, 136, 137, 138, 139, 140, 141, 142, 159, 151,
                       152, 154, 156, 160, 163, 164, 149, 153, 148, 155};
    std::vector<std::vector<BYTE>> pictures;
    for (int id : ids) {
        pictures.push_back(ResourceIconPixels(id, 16));
        ASSERT_FALSE(pictures.back().empty()) << "icon " << id;
    }
    for (size_t i = 0; i < pictures.size(); ++i)
        for (size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]) << "icons " << ids[i] << " and " << ids[j];

    // The menu tips of the commands that name an icon show it.
    TipIconProbe tip(settings, nullptr);
    const struct
    {
        UINT command;
        int icon;
    } tips[] = {{32821, 149}, {32792, 153}, {32781, 152}, {32812, 142}};
    for (const auto& each : tips) {
        const auto shown = reinterpret_cast<HICON>(tip.GetIconForId(each.command));
        EXPECT_EQ(ResourceIconPixels(each.icon, 32), IconPixels(shown)) << each.command;
    }
}

TEST_F(EditorFirstUseTest, SettingsToolbarButtonsShowTheirIconsBesideTheirCaptions)
{
    HWND toolbar = FindToolbarWith(frame->m_hWnd, kSaveAndCloseCommand);
    ASSERT_NE(nullptr, toolbar);
    const auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(nullptr, images);
    const struct
    {
        UINT command;
        int icon;
    } buttons[] = {{kHideSettingsCommand, 148}, {kSaveAndCloseCommand, 155}};
    for (const auto& each : buttons) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_IMAGE;
        ASSERT_NE(-1,
                  ::SendMessageW(toolbar, TB_GETBUTTONINFOW, each.command, reinterpret_cast<LPARAM>(&info)));
        HICON shown = ImageList_GetIcon(images, info.iImage, ILD_NORMAL);
        ASSERT_NE(nullptr, shown) << each.command << " has an image";
        EXPECT_EQ(ResourceIconPixels(each.icon, 16), IconPixels(shown)) << each.command;
        ::DestroyIcon(shown);
        const ButtonFacts button = ReadButton(toolbar, each.command);
        EXPECT_GT(button.width, 16 + TextWidth(toolbar, button.text))
            << each.command << " holds icon and text";
    }
}

TEST_F(EditorFirstUseTest, MiscellaneousPageShowsEveryLabelWholeInsideItsGroup)
{
    // The page's labels and check boxes hold their texts (bold ones measured bold), stay inside their
    // group box, and the group boxes do not overlap.
    HWND autostart = FindDescendantById(frame->m_hWnd, IDC_MISC_AUTOSTART);
    ASSERT_NE(nullptr, autostart);
    HWND page = ::GetParent(autostart);
    std::vector<RECT> groups;
    std::vector<std::pair<HWND, RECT>> texts;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        RECT rect = {};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        const bool button = lstrcmpiW(name, L"Button") == 0;
        if (button && (style & BS_TYPEMASK) == BS_GROUPBOX)
            groups.push_back(rect);
        else if ((button && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) ||
                 (lstrcmpiW(name, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT &&
                  rect.bottom - rect.top < 24))
            texts.emplace_back(child, rect);
    }
    ASSERT_EQ(4u, groups.size());
    ASSERT_GT(texts.size(), 10u);
    HFONT bold = GetBoldDialogFont();
    for (const auto& [window, rect] : texts) {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        if (!text[0])
            continue;
        HDC dc = ::GetDC(window);
        const int id = ::GetDlgCtrlID(window);
        const bool drawnBold = id == IDC_MISC_HISTORY_IN_MENU || id == IDC_MISC_LAST_USED ||
                               id == IDC_MISC_AUTO_UPDATES || id == IDC_MISC_SOUNDS ||
                               id == IDC_MISC_CLIP_HISTORY || id == IDC_MISC_AUTOSTART;
        const HGDIOBJ old = ::SelectObject(
            dc, drawnBold ? bold : reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(window, dc);
        wchar_t name[32] = {};
        ::GetClassNameW(window, name, 32);
        const int box = lstrcmpiW(name, L"Button") == 0 ? ::GetSystemMetrics(SM_CXMENUCHECK) : 0;
        EXPECT_GE(rect.right - rect.left, size.cx + box) << "cut: " << ::GetDlgCtrlID(window);
        bool inside = false;
        for (const RECT& group : groups)
            inside = inside || (rect.left >= group.left && rect.right <= group.right &&
                                rect.top >= group.top && rect.bottom <= group.bottom);
        EXPECT_TRUE(inside) << "outside its group: " << ::GetDlgCtrlID(window);
    }
    for (size_t i = 0; i < groups.size(); ++i)
        for (size_t j = i + 1; j < groups.size(); ++j) {
            RECT overlap = {};
            EXPECT_FALSE(::IntersectRect(&overlap, &groups[i], &groups[j])) << i << " and " << j;
        }
}

TEST_F(EditorFirstUseTest, EveryGroupOfTheMiscellaneousPageIsShownOrScrolledIntoTheFrame)
{
    // A first start on a screen smaller than the page: the frame's own size, maximised on this display.
    ::ShowWindow(frame->m_hWnd, SW_SHOWMAXIMIZED);
    frame->RecalcLayout();
    SettingsPaneContent& content = frame->GetSettingsPane()->GetContent();
    HWND viewport = content.Viewport().m_hWnd;
    HWND page = content.GetPage(0)->m_hWnd;
    ASSERT_NE(nullptr, viewport);
    ASSERT_EQ(::GetParent(page), viewport);
    RECT frameClient = {};
    ::GetClientRect(frame->m_hWnd, &frameClient);
    ::MapWindowPoints(frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
        if (lstrcmpiW(name, L"Button") != 0 || (style & BS_TYPEMASK) != BS_GROUPBOX)
            continue;
        // Scroll the group's top left corner into view, as the user would with the scroll bars.
        RECT group = {};
        ::GetWindowRect(child, &group);
        ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&group), 2);
        // The thumb let go at the group's place (the viewport keeps it within the page's end).
        ::SendMessageW(viewport, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, group.left), 0);
        ::SendMessageW(viewport, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, group.top), 0);
        RECT visible = {};
        ::GetClientRect(viewport, &visible);
        ::MapWindowPoints(viewport, nullptr, reinterpret_cast<POINT*>(&visible), 2);
        RECT shown = {};
        ::IntersectRect(&shown, &visible, &frameClient);
        RECT screenGroup = {};
        ::GetWindowRect(child, &screenGroup);
        RECT inside = {};
        ::IntersectRect(&inside, &screenGroup, &shown);
        // Whole when it fits the area; else the part that fits starts at its corner.
        const bool fits = screenGroup.right - screenGroup.left <= shown.right - shown.left &&
                          screenGroup.bottom - screenGroup.top <= shown.bottom - shown.top;
        if (fits)
            EXPECT_TRUE(::EqualRect(&inside, &screenGroup)) << "group " << ::GetDlgCtrlID(child);
        else
            EXPECT_TRUE(inside.left == screenGroup.left && inside.top == screenGroup.top)
                << "group " << ::GetDlgCtrlID(child);
    }
}

TEST_F(EditorFirstUseTest, LanguageBarCarriesTheWebLinksRightOfTheCombo)
{
    HWND links = FindToolbarWith(frame->m_hWnd, 32781);
    ASSERT_NE(nullptr, links) << "the links toolbar is made";
    EXPECT_TRUE(::IsWindowVisible(links));
    EXPECT_EQ(5, ::SendMessageW(links, TB_BUTTONCOUNT, 0, 0));
    for (UINT command : {32781u, 32795u, 32783u, 32840u, 32827u})
        EXPECT_GE(::SendMessageW(links, TB_COMMANDTOINDEX, command, 0), 0) << command;
    EXPECT_EQ(L"Home Page", ReadButton(links, 32781).text);

    HWND combo = ::GetDlgItem(::GetParent(links), 1010);
    ASSERT_NE(nullptr, combo);
    RECT comboRect = {};
    RECT linksRect = {};
    ::GetWindowRect(combo, &comboRect);
    ::GetWindowRect(links, &linksRect);
    EXPECT_GE(linksRect.left, comboRect.right) << "the combo stays uncovered";
    EXPECT_GT(linksRect.right - linksRect.left, 100);

    const std::wstring tip = InfoTip(links, 32781);
    EXPECT_NE(std::wstring::npos, tip.find(L"\x00BB http"))
        << "the tip names the web address: " << tip.size();
}

TEST_F(EditorFirstUseTest, LabelEditIsAsWideAsTheTreeAndTwoRowsHigh)
{
    Select(a);
    ::SendMessageW(frame->GetPhrasesPane().m_hWnd, WM_COMMAND, PhrasesPane::kCmdRename, 0);
    HWND edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit) << "the label edit starts";
    ::SetWindowTextW(edit, L"A much longer name than the one before, typed by the user");
    RECT editRect = {};
    ::GetWindowRect(edit, &editRect);
    ::MapWindowPoints(nullptr, Tree(), reinterpret_cast<POINT*>(&editRect), 2);
    RECT tree = {};
    ::GetClientRect(Tree(), &tree);
    EXPECT_GE(editRect.right, tree.right) << "as wide as the tree";
    EXPECT_GE(editRect.bottom - editRect.top, 2 * TreeView_GetItemHeight(Tree())) << "two rows high";
    TreeView_EndEditLabelNow(Tree(), TRUE);
}

namespace
{

// The real loop: the frame's windows see a key before the window it was posted to.
void PumpThroughFrame(HWND frame, DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CWnd::WalkPreTranslateTree(frame, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

} // namespace

TEST_F(EditorFirstUseTest, LabelEditWrapsInTheRowsFontAndEnterSavesWhileEscKeepsTheName)
{
    const struct
    {
        WPARAM key;
        const wchar_t* typed;
        const wchar_t* shown; // the label afterwards
        const wchar_t* file;
    } cases[] = {
        {VK_ESCAPE, L"Not taken", L"Greeting", L"Greeting"},
        {VK_RETURN, L"Kind\r\nregards", L"Kind regards", L"Kind_regards"}, // a pasted line break: a blank
    };
    for (const auto& each : cases) {
        Select(a);
        ::SendMessageW(frame->GetPhrasesPane().m_hWnd, WM_COMMAND, PhrasesPane::kCmdRename, 0);
        HWND edit = TreeView_GetEditControl(Tree());
        ASSERT_NE(nullptr, edit) << "the label edit starts";
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(edit, GWL_STYLE));
        EXPECT_NE(0u, style & ES_MULTILINE);
        EXPECT_EQ(0u, style & (ES_AUTOHSCROLL | ES_WANTRETURN)) << "wraps; Enter is no line break";

        // A long name wraps inside the edit instead of scrolling out of sight.
        ::SetWindowTextW(edit, L"A name much longer than the tree is wide, typed by a user who likes to "
                               L"say a lot about the phrase it stands for");
        EXPECT_GE(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);

        const LOGFONTW row = FontOf(Tree());
        const LOGFONTW typed = FontOf(edit);
        const bool bold =
            (TreeView_GetItemState(Tree(), TreeView_GetSelection(Tree()), TVIS_BOLD) & TVIS_BOLD) != 0;
        EXPECT_EQ(row.lfHeight, typed.lfHeight) << "the row's size";
        EXPECT_STREQ(row.lfFaceName, typed.lfFaceName);
        EXPECT_EQ(bold, typed.lfWeight >= FW_BOLD) << "bold as the row draws it";

        ::SetWindowTextW(edit, each.typed);
        ::PostMessageW(edit, WM_KEYDOWN, each.key, 0);
        for (int i = 0; i < 100 && TreeView_GetEditControl(Tree()); ++i)
            PumpThroughFrame(frame->m_hWnd, 10);
        EXPECT_EQ(nullptr, TreeView_GetEditControl(Tree())) << "the key ends the edit";

        wchar_t label[128] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(Tree());
        item.pszText = label;
        item.cchTextMax = 128;
        ::SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(each.shown, label);
        EXPECT_TRUE(temp.Exists(std::wstring(L"phrases\\") + each.file + L".scrivolanter")) << each.file;
        // Enter renamed the file; Esc left it where it was.
        EXPECT_EQ(each.key == VK_ESCAPE, temp.Exists(L"phrases\\Greeting.scrivolanter")) << each.file;
    }
}

namespace
{

// The item texts of this process's open pop-up menu (sub-menus included), read once by a thread
// timer inside the menu's loop, which then closes the menu.
std::vector<std::wstring> g_openMenuTexts;

void ReadItems(HMENU menu)
{
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        if (::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0)
            g_openMenuTexts.emplace_back(text);
        if (HMENU sub = ::GetSubMenu(menu, i))
            ReadItems(sub);
    }
}

void CALLBACK ReadAndCloseOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = nullptr;
    for (HWND w = ::FindWindowW(L"#32768", nullptr); w && !menuWindow;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(w))
            menuWindow = w;
    }
    if (!menuWindow)
        return;
    ::KillTimer(nullptr, timer);
    ReadItems(reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0)));
    ::EndMenu();
}

template <typename Open>
std::vector<std::wstring> TextsOfMenuOpenedBy(Open open)
{
    g_openMenuTexts.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &ReadAndCloseOpenMenu);
    open();
    ::KillTimer(nullptr, timer);
    return g_openMenuTexts;
}

bool Holds(const std::vector<std::wstring>& texts, const std::wstring& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

TEST_F(EditorFirstUseTest, TextFieldAndViewPopUpsSpeakTheChosenLanguage)
{
    temp.CreateSubfolder(L"program");
    const std::wstring language = temp.WriteUtf16(
        L"program\\Deutsch.lng", L"[Main]\r\nLangPrefix=De\r\n[Menu_Editor]\r\nSelect_All=Alles markieren\r\n"
                                 L"Test_Run=Probelauf\r\n"
                                 L"Documentation_On_Macro=Makro-Hilfe\r\n");
    const CString before = GetCurrentLanguageFilePath();
    StartEditorMenuLocalizer(language.c_str());
    Select(a);
    CSCVView* view = TextView();
    ASSERT_NE(nullptr, view);

    const auto context = TextsOfMenuOpenedBy([&] {
        ::SendMessageW(view->Edit().m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->Edit().m_hWnd),
                       MAKELPARAM(-1, -1));
    });
    const auto format = TextsOfMenuOpenedBy(
        [&] { ::SendMessageW(view->m_hWnd, WM_COMMAND, PhraseTextCommand::kDataFormat, 0); });
    const auto macros = TextsOfMenuOpenedBy(
        [&] { ::SendMessageW(view->m_hWnd, WM_COMMAND, PhraseTextCommand::kInsertMacro, 0); });
    StartEditorMenuLocalizer(before.GetString());

    EXPECT_TRUE(Holds(context, L"Alles markieren")) << "the text field's menu";
    EXPECT_TRUE(Holds(context, L"%DATE%")) << "macro names stay as they are";
    EXPECT_TRUE(Holds(format, L"Probelauf\tF5"))
        << "the data-format menu keeps the key beside the translation";
    EXPECT_TRUE(Holds(macros, L"Makro-Hilfe")) << "the insert-macro menu";
    EXPECT_TRUE(Holds(macros, L"%CLIPBOARD_TEXT%"));
}

TEST_F(EditorFirstUseTest, F6MovesTheFocusThroughThePanesAndMacroDocsIsAFrameCommand)
{
    ::SetForegroundWindow(frame->m_hWnd);
    ::SetFocus(Tree());
    ASSERT_EQ(Tree(), ::GetFocus());
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CMainFrame::kNextPaneCommand, 0);
    HWND view = frame->GetActiveView() ? frame->GetActiveView()->m_hWnd : nullptr;
    ASSERT_NE(nullptr, view);
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == view || ::IsChild(view, focus)) << "F6: the main view";
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CMainFrame::kPreviousPaneCommand, 0);
    EXPECT_EQ(Tree(), ::GetFocus()) << "Shift+F6: back to the tree";
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CMainFrame::kPreviousPaneCommand, 0);
    focus = ::GetFocus();
    HWND settingsPane = frame->GetSettingsPane()->m_hWnd;
    EXPECT_TRUE(focus == settingsPane || ::IsChild(settingsPane, focus))
        << "Shift+F6 from the tree: the settings pane";

    // The macro documentation answers in the frame whichever view shows (the folder list here).
    HMENU bar = ::GetMenu(frame->m_hWnd);
    ASSERT_NE(nullptr, bar);
    HMENU popup = nullptr;
    for (int i = 0; i < ::GetMenuItemCount(bar) && !popup; ++i) {
        HMENU sub = ::GetSubMenu(bar, i);
        if (sub && ::GetMenuState(sub, 32812, MF_BYCOMMAND) != static_cast<UINT>(-1))
            popup = sub;
    }
    ASSERT_NE(nullptr, popup);
    ::SendMessageW(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_EQ(0u, ::GetMenuState(popup, 32812, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

namespace
{
HWND g_fontPage = nullptr;

// Presses OK in the font dialog the page opened, once it shows.
void CALLBACK PressFontDialogOk(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    while ((dialog = ::FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr) {
        HWND owner = ::GetWindow(dialog, GW_OWNER);
        if (owner && (owner == g_fontPage || owner == ::GetAncestor(g_fontPage, GA_ROOT)) &&
            ::IsWindowVisible(dialog)) {
            ::KillTimer(nullptr, timer);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return;
        }
    }
}
} // namespace

TEST_F(EditorFirstUseTest, OkInTheMenuFontDialogGivesTheTreeTheNewFontAtOnce)
{
    HWND fontButton = FindDescendantById(frame->m_hWnd, IDC_MISC_MENU_FONT);
    ASSERT_NE(nullptr, fontButton);
    g_fontPage = ::GetParent(fontButton);
    const auto before = ::SendMessageW(Tree(), WM_GETFONT, 0, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &PressFontDialogOk);
    ::SendMessageW(g_fontPage, WM_COMMAND, MAKEWPARAM(IDC_MISC_MENU_FONT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(fontButton));
    ::KillTimer(nullptr, timer);
    EXPECT_NE(before, ::SendMessageW(Tree(), WM_GETFONT, 0, 0)) << "the tree took the chosen font";
}

TEST_F(EditorFirstUseTest, LanguageChangeRunsTheHotKeyTestAgain)
{
    HWND status = FindDescendantById(frame->m_hWnd, IDC_MISC_HOTKEY_STATUS);
    ASSERT_NE(nullptr, status);
    wchar_t tested[256] = {};
    ::GetWindowTextW(status, tested, 256);
    ASSERT_STRNE(L"Check Hot Key", tested) << "the page tested the key when it opened";
    ASSERT_NE(nullptr, wcsstr(tested, L"\x2026")) << "the key was free: " << scvtest::WideToUtf8(tested);
    // The key is taken meanwhile: only a new test can tell.
    constexpr int kTakenId = 0x5A5A;
    ASSERT_NE(0u, settings.HotkeyVirtualKey);
    ASSERT_TRUE(::RegisterHotKey(nullptr, kTakenId, settings.HotkeyModifiers, settings.HotkeyVirtualKey));
    doc->UpdateViewsForItem(nullptr, kHintLanguage, nullptr);
    wchar_t after[256] = {};
    ::GetWindowTextW(status, after, 256);
    ::UnregisterHotKey(nullptr, kTakenId);
    EXPECT_STRNE(L"Check Hot Key", after) << "the status is a test's result, not the template text";
    EXPECT_NE(nullptr, wcsstr(after, L"Error code")) << "tested again: " << scvtest::WideToUtf8(after);
}

namespace
{
MiscSettingsPage& MiscPage(CMainFrame& frame)
{
    return *static_cast<MiscSettingsPage*>(frame.GetSettingsPane()->GetContent().GetPage(0));
}

// The text the page's tooltip shows over the window.
std::wstring PageTip(MiscSettingsPage& page, HWND window)
{
    std::vector<wchar_t> text(4096, L'\0');
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = page.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = text.data();
    ::SendMessageW(page.GetToolTip(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.data();
}

std::wstring ComboItem(HWND combo, int index)
{
    wchar_t text[512] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

// What the screen shows of the window's client area (the part its parents show), drawn afresh; the
// pointer is moved off it first so that no tip covers it.
scvtest::RgbImage ShownClient(HWND window)
{
    ::SetCursorPos(1270, 1010);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    scvtest::PumpFor(100);
    ::UpdateWindow(window);
    RECT rect = {};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    for (HWND outer = ::GetParent(window); outer; outer = ::GetParent(outer)) {
        RECT visible = {};
        ::GetClientRect(outer, &visible);
        ::MapWindowPoints(outer, nullptr, reinterpret_cast<POINT*>(&visible), 2);
        ::IntersectRect(&rect, &rect, &visible);
    }
    return scvtest::CaptureScreenRect(rect).value_or(scvtest::RgbImage());
}

// The icon drawn at 16 x 16 on white, row by row (empty for no icon); the icon is destroyed.
std::vector<COLORREF> DrawnIcon(HICON icon)
{
    std::vector<COLORREF> pixels;
    if (!icon)
        return pixels;
    HDC screen = ::GetDC(nullptr);
    HDC canvas = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ old = ::SelectObject(canvas, bitmap);
    const RECT all = {0, 0, 16, 16};
    ::FillRect(canvas, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(canvas, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(::GetPixel(canvas, x, y));
    ::SelectObject(canvas, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(canvas);
    ::DestroyIcon(icon);
    return pixels;
}

// Pixels darker than mid-grey in every channel: drawn text of any weight, smoothed or not.
int DarkPixels(const scvtest::RgbImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const COLORREF pixel = image.At(x, y);
            count += GetRValue(pixel) < 128 && GetGValue(pixel) < 128 && GetBValue(pixel) < 128 ? 1 : 0;
        }
    return count;
}

// The pixels of exactly the colour in the rows [top, bottom) of the image: how many, first and last
// column (-1 when none).
struct ColourSpread
{
    int count = 0;
    int first = -1;
    int last = -1;
};

ColourSpread SpreadOf(const scvtest::RgbImage& image, COLORREF colour, int top = 0, int bottom = -1)
{
    ColourSpread spread;
    const int end = bottom < 0 ? image.height : bottom;
    for (int y = top; y < end; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) == colour) {
                ++spread.count;
                spread.first = spread.first < 0 ? x : std::min(spread.first, x);
                spread.last = std::max(spread.last, x);
            }
    return spread;
}
} // namespace

TEST_F(EditorFirstUseTest, MiscellaneousTipsExplainEachControlAndFollowTheChosenMethods)
{
    MiscSettingsPage& page = MiscPage(*frame);
    auto item = [&](int id) { return ::GetDlgItem(page.m_hWnd, id); };
    HWND hotkey = item(IDC_MISC_HOTKEY);
    ASSERT_NE(nullptr, hotkey);
    const std::wstring log = std::wstring(L"Log File: ") + frame->GetLogPath().GetString() +
                             L"\nRecord of log file may considerably slow down";
    const struct
    {
        HWND window;
        std::wstring start;
        std::wstring further;
    } tips[] = {
        {item(IDC_MISC_AUTO_UPDATES), L"Scrivolanter looks for a new version",
         L"\r\n\r\nLast Check For Updates: "},
        {item(IDC_MISC_UPDATE_DAYS), L"Scrivolanter looks for a new version",
         L"\r\n\r\nLast Check For Updates: "},
        {hotkey, L"Right click for access to menu with advanced hot keys", L""},
        {::GetDlgItem(hotkey, 1), L"Right click for access to menu with advanced hot keys", L""},
        {::GetDlgItem(hotkey, 3), L"Double press: ", L""},
        {item(IDC_MISC_WRITE_LOG), log, L""},
        {item(IDC_MISC_HISTORY_LIMIT), L"Only the latest clipboard history items", L""},
        {item(IDC_MISC_SOUNDS), L"Play a sound on events", L"\r\nChecking the box plays a sample sound"},
        {item(IDC_MISC_MENU_FONT), L"Choose font for menu", L""},
        {item(IDC_MISC_PRINT_CHARS), L"Characters", L""},
        {item(IDC_MISC_PRINT_CHARS_SPIN), L"Characters", L""},
    };
    for (const auto& expected : tips) {
        const std::wstring tip = PageTip(page, expected.window);
        EXPECT_EQ(0u, tip.find(expected.start)) << ::GetDlgCtrlID(expected.window) << ": " << tip.size();
        EXPECT_NE(std::wstring::npos, tip.find(expected.further)) << ::GetDlgCtrlID(expected.window);
    }

    // The paste-method tip names the method chosen; the tracking-method tip names the chosen one over a
    // rule and lists the others below it.
    HWND paste = item(IDC_MISC_PASTE_METHOD);
    HWND tracking = item(IDC_MISC_TRACKING_METHOD);
    const int trackingCount = static_cast<int>(::SendMessageW(tracking, CB_GETCOUNT, 0, 0));
    ASSERT_GE(trackingCount, 2);
    for (int i = 0; i < 3; ++i) {
        ::SendMessageW(paste, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MISC_PASTE_METHOD, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(paste));
        EXPECT_EQ(ComboItem(paste, i), PageTip(page, paste)) << i;

        const int chosen = i % trackingCount;
        ::SendMessageW(tracking, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MISC_TRACKING_METHOD, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(tracking));
        std::wstring expected = ComboItem(tracking, chosen) + L"\n" + std::wstring(25, L'\x2014');
        for (int other = 0; other < trackingCount; ++other)
            if (other != chosen)
                expected += L"\n     \x2022 " + ComboItem(tracking, other);
        EXPECT_EQ(expected, PageTip(page, tracking)) << chosen;
    }
}

TEST_F(EditorFirstUseTest, MiscellaneousPageShowsSectionRulesTheBlueLogLinkAndTheMenuFontSample)
{
    MiscSettingsPage& page = MiscPage(*frame);
    // The labels that head the paste method, the tracking method and the kept formats are bold and
    // followed by an etched rule to their right edge.
    for (int id : {IDC_MISC_PASTE_LABEL, IDC_MISC_TRACKING_LABEL, IDC_MISC_FORMATS_LABEL}) {
        HWND label = ::GetDlgItem(page.m_hWnd, id);
        LOGFONTW font = {};
        ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)),
                                 sizeof(font), &font))
            << id;
        EXPECT_EQ(FW_BOLD, font.lfWeight) << id;
        const scvtest::RgbImage shown = ShownClient(label);
        ASSERT_FALSE(shown.Empty());
        bool rule = false;
        for (int y = 0; y + 1 < shown.height && !rule; ++y)
            rule = shown.At(shown.width - 2, y) == RGB(64, 64, 64) &&
                   shown.At(shown.width - 2, y + 1) == RGB(255, 255, 255);
        EXPECT_TRUE(rule) << "etched rule after label " << id;
    }

    // "Write log to file" reads blue on the button face.
    const scvtest::RgbImage link = ShownClient(::GetDlgItem(page.m_hWnd, IDC_MISC_WRITE_LOG));
    EXPECT_GT(SpreadOf(link, RGB(0, 0, 255)).count, 20) << "blue caption";
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), link.At(link.width - 1, 1));

    // The font sample shows the menu font in the menu's colours.
    HWND sample = ::GetDlgItem(page.m_hWnd, IDC_MISC_MENU_FONT_SAMPLE);
    LOGFONTW font = {};
    ASSERT_TRUE(
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(sample, WM_GETFONT, 0, 0)), sizeof(font), &font));
    EXPECT_STREQ(settings.FontForMenu.lfFaceName, font.lfFaceName);
    const scvtest::RgbImage shownSample = ShownClient(sample);
    EXPECT_EQ(::GetSysColor(COLOR_MENU), shownSample.At(shownSample.width - 1, 0));
    EXPECT_GT(SpreadOf(shownSample, ::GetSysColor(COLOR_MENUTEXT)).count, 20) << "the sample text";
}

TEST_F(EditorFirstUseTest, FormatRowsNameTheSystemsFileTypeAndTheFormattedRowShowsTheEditorsIcon)
{
    MiscSettingsPage& page = MiscPage(*frame);
    HWND list = ::GetDlgItem(page.m_hWnd, IDC_MISC_FORMATS);
    ASSERT_EQ(5, ListView_GetItemCount(list));
    const wchar_t* kinds[] = {L", Plain Text [.txt]", L", Formatted Text [.rtf]", L", Bitmap [.bmp]",
                              L", Ovelline Document [.ovl]"};
    for (int row = 0; row < 4; ++row) {
        wchar_t text[256] = {};
        ListView_GetItemText(list, row, 0, text, 256);
        const std::wstring shown = text;
        const std::wstring kind = kinds[row];
        ASSERT_GT(shown.size(), kind.size()) << "the system's description comes first: " << row;
        EXPECT_EQ(kind, shown.substr(shown.size() - kind.size())) << row;
    }
    wchar_t html[256] = {};
    ListView_GetItemText(list, 4, 0, html, 256);
    EXPECT_STREQ(L"HTML Code (web page) [.html]", html);

    // A language change gives the rows their texts again and keeps what the user checked.
    const bool firstChecked = ListView_GetCheckState(list, 0) != 0;
    ListView_SetCheckState(list, 0, !firstChecked);
    doc->UpdateViewsForItem(nullptr, kHintLanguage, nullptr);
    EXPECT_EQ(!firstChecked, ListView_GetCheckState(list, 0) != 0);
    ListView_GetItemText(list, 4, 0, html, 256);
    EXPECT_STREQ(L"HTML Code (web page) [.html]", html);

    // Row 1 (formatted text) shows the editor's own icon 158.
    LVITEMW row = {};
    row.mask = LVIF_IMAGE;
    row.iItem = 1;
    ASSERT_TRUE(ListView_GetItem(list, &row));
    HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
    ASSERT_NE(nullptr, images);
    const std::vector<COLORREF> shownIcon = DrawnIcon(ImageList_GetIcon(images, row.iImage, ILD_NORMAL));
    const std::vector<COLORREF> ownIcon = DrawnIcon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(158), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    ASSERT_FALSE(ownIcon.empty());
    EXPECT_EQ(ownIcon, shownIcon);
}

TEST_F(EditorFirstUseTest, SpinArrowsFollowTypedNumbersAndShowTheEndsDisabled)
{
    MiscSettingsPage& page = MiscPage(*frame);
    if (::IsDlgButtonChecked(page.m_hWnd, IDC_MISC_LAST_USED) != BST_CHECKED)
        ::SendMessageW(::GetDlgItem(page.m_hWnd, IDC_MISC_LAST_USED), BM_CLICK, 0, 0);
    HWND edit = ::GetDlgItem(page.m_hWnd, IDC_MISC_LAST_USED_COUNT); // 1 .. 5
    HWND spin = ::GetDlgItem(page.m_hWnd, IDC_MISC_LAST_USED_SPIN);
    ASSERT_TRUE(::IsWindowEnabled(spin));
    const COLORREF arrow = ::GetSysColor(COLOR_BTNTEXT);
    const struct
    {
        const wchar_t* typed;
        bool upShown;
        bool downShown;
    } cases[] = {{L"5", false, true}, {L"3", true, true}, {L"1", true, false}, {L"9", false, true}};
    for (const auto& c : cases) {
        ::SetWindowTextW(edit, c.typed);
        const scvtest::RgbImage shown = ShownClient(spin);
        ASSERT_FALSE(shown.Empty());
        const int middle = shown.height / 2;
        EXPECT_EQ(c.upShown, SpreadOf(shown, arrow, 0, middle).count > 0) << "up arrow after " << c.typed;
        EXPECT_EQ(c.downShown, SpreadOf(shown, arrow, middle).count > 0) << "down arrow after " << c.typed;
    }
    ::SetWindowTextW(edit, L"3");
    ::SendMessageW(::GetDlgItem(page.m_hWnd, IDC_MISC_LAST_USED), BM_CLICK, 0, 0);
    ASSERT_FALSE(::IsWindowEnabled(spin));
    EXPECT_EQ(0, SpreadOf(ShownClient(spin), arrow).count) << "a disabled spin shows both arrows disabled";
}

TEST_F(EditorFirstUseTest, HotKeyFieldPaintsNoneGreyABoldBlueWinAndTheDoubledKey)
{
    HWND control = FindDescendantById(frame->m_hWnd, IDC_MISC_HOTKEY);
    ASSERT_NE(nullptr, control);
    HWND field = ::GetDlgItem(control, 1);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    const COLORREF blue = RGB(0, 0, 255);
    const WORD ctrlAltEnter = MAKEWORD(VK_RETURN, HOTKEYF_CONTROL | HOTKEYF_ALT);
    const struct
    {
        WORD key;
        bool win;
        bool twice;
    } cases[] = {{0, true, true},
                 {ctrlAltEnter, false, false},
                 {ctrlAltEnter, true, false},
                 {ctrlAltEnter, false, true}};
    for (const auto& c : cases) {
        ::SendMessageW(control, HKX_SETHOTKEY, c.key, 0);
        ::SendMessageW(control, HKX_SETWIN, c.win, 0);
        ::SendMessageW(control, HKX_SETDOUBLE, c.twice, 0);
        const scvtest::RgbImage shown = ShownClient(field);
        const ColourSpread names = SpreadOf(shown, text);
        const ColourSpread emphasis = SpreadOf(shown, blue);
        if (c.key == 0) {
            EXPECT_GT(SpreadOf(shown, grey).count, 10) << "\"None\" in grey";
            EXPECT_EQ(0, names.count + emphasis.count) << "no key: the boxes add nothing";
            continue;
        }
        EXPECT_GT(names.count, 20) << c.win << c.twice;
        EXPECT_EQ(c.win || c.twice, emphasis.count > 10) << c.win << c.twice;
        if (c.win)
            EXPECT_LT(emphasis.last, names.first) << "\"Win\" comes first";
        if (c.twice)
            EXPECT_GT(emphasis.first, names.last) << "the doubled key comes last";
    }

    // A disabled control paints grey on the button face and disables its four children.
    ::EnableWindow(control, FALSE);
    const scvtest::RgbImage disabled = ShownClient(field);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), disabled.At(1, 1));
    EXPECT_GT(SpreadOf(disabled, grey).count, 20);
    EXPECT_EQ(0, SpreadOf(disabled, text).count + SpreadOf(disabled, blue).count);
    for (int id = 1; id <= 4; ++id)
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(control, id))) << id;
    ::EnableWindow(control, TRUE);

    // The owner can switch the "Double" and "WIN" boxes off and on alone.
    HWND winBox = ::GetDlgItem(control, 2);
    HWND doubleBox = ::GetDlgItem(control, 3);
    EXPECT_EQ(1, ::SendMessageW(control, HKX_ENABLEDOUBLE, FALSE, 0));
    EXPECT_FALSE(::IsWindowEnabled(doubleBox));
    EXPECT_TRUE(::IsWindowEnabled(winBox));
    EXPECT_EQ(1, ::SendMessageW(control, HKX_ENABLEWIN, FALSE, 0));
    EXPECT_FALSE(::IsWindowEnabled(winBox));
    EXPECT_TRUE(::IsWindowEnabled(field));
    ::SendMessageW(control, HKX_ENABLEDOUBLE, TRUE, 0);
    ::SendMessageW(control, HKX_ENABLEWIN, TRUE, 0);
    EXPECT_TRUE(::IsWindowEnabled(doubleBox) && ::IsWindowEnabled(winBox));
}

namespace
{
// Chooses the first row of the pop-up menu that shows by keys.
void CALLBACK ChooseFirstMenuRow(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (!::FindWindowW(L"#32768", nullptr))
        return;
    ::KillTimer(nullptr, timer);
    INPUT keys[4] = {};
    for (INPUT& key : keys)
        key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_DOWN;
    keys[2].ki.wVk = keys[3].ki.wVk = VK_RETURN;
    keys[1].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, keys, sizeof(INPUT));
}
} // namespace

TEST_F(EditorFirstUseTest, PresetButtonKeepsItsGlyphAfterAKeyIsChosenFromItsMenu)
{
    HWND control = FindDescendantById(frame->m_hWnd, IDC_MISC_HOTKEY);
    ASSERT_NE(nullptr, control);
    HWND arrow = ::GetDlgItem(control, 4);
    const scvtest::RgbImage before = ShownClient(arrow);
    ASSERT_GT(DarkPixels(before), 2) << "the \">\" shows";

    ::SetForegroundWindow(frame->m_hWnd);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &ChooseFirstMenuRow);
    ::SendMessageW(arrow, BM_CLICK, 0, 0); // the preset menu, until a row is chosen
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(VK_SCROLL, LOBYTE(::SendMessageW(control, HKX_GETHOTKEY, 0, 0))) << "the first preset is taken";
    EXPECT_EQ(arrow, ::GetFocus());
    const scvtest::RgbImage after = ShownClient(arrow);
    EXPECT_TRUE(after.pixels == before.pixels) << "the button looks as before the change";
}

TEST_F(EditorFirstUseTest, ClosingTheLanguageListGivesTheComboItsDialogFontBack)
{
    ASSERT_NE(nullptr, frame->GetLanguageBar());
    HWND combo = frame->GetLanguageBar()->GetCombo();
    ASSERT_NE(nullptr, combo);
    // A font of its own, as while the combo pulses for attention.
    LOGFONTW description = {};
    ASSERT_TRUE(::GetObjectW(GetDialogFont(), sizeof(description), &description));
    description.lfHeight *= 2;
    description.lfWeight = FW_BOLD;
    HFONT large = ::CreateFontIndirectW(&description);
    ::SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(large), FALSE);
    ASSERT_EQ(large, reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0)));

    ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(GetDialogFont(), reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0)));
    ::DeleteObject(large);
}

namespace
{

// The editor started in a chosen language: two language files in the program folder, the settings
// naming the German one, its texts active as the program's start makes them.
class EditorLanguageBarTest : public EditorFirstUseTest
{
protected:
    void SetUp() override
    {
        temp.WriteUtf16(L"program\\Deutsch.lng",
                        L"[Main]\r\nLangLocalized=Deutsch\r\nLangPrefix=De\r\n"
                        L"[Strings_Editor]\r\n129=Startseite\r\n224=Facebook-Gruppe\r\n");
        temp.WriteUtf16(L"program\\Russian.lng",
                        L"[Main]\r\nLangLocalized=Russkij\r\nLangPrefix=Ru\r\n"
                        L"[Strings_Editor]\r\n129=Glavnaya\r\n256=Gruppa VKontakte\r\n");
        temp.WriteUtf16(L"program\\Settings.ini", L"[Settings]\r\nLanguage=Deutsch.lng\r\n");
        before = GetCurrentLanguageFilePath();
        StartEditorMenuLocalizer(temp.PathOf(L"program\\Deutsch.lng").c_str());
        EditorFirstUseTest::SetUp();
    }
    void TearDown() override
    {
        EditorFirstUseTest::TearDown();
        StartEditorMenuLocalizer(before);
        CSCVUrl::_Set_Use_RU_Urls(0);
    }

    HWND Combo() { return frame->GetLanguageBar() ? frame->GetLanguageBar()->GetCombo() : nullptr; }
    // The language file of the combo's selected entry ("?" when none is selected).
    std::wstring SelectedLanguage()
    {
        const int selected = ComboBox_GetCurSel(Combo());
        const auto index = static_cast<size_t>(ComboBox_GetItemData(Combo(), selected));
        const std::vector<CString>& list = frame->GetLanguageList();
        return selected >= 0 && index < list.size() ? std::wstring(list[index].GetString()) : L"?";
    }
    // Picks the entry of the language file as a click in the open list does.
    void Choose(const std::wstring& file)
    {
        const std::vector<CString>& list = frame->GetLanguageList();
        for (int item = 0; item < ComboBox_GetCount(Combo()); ++item) {
            const auto index = static_cast<size_t>(ComboBox_GetItemData(Combo(), item));
            if (index >= list.size() || file != list[index].GetString())
                continue;
            ComboBox_SetCurSel(Combo(), item);
            ::SendMessageW(::GetParent(Combo()), WM_COMMAND,
                           MAKEWPARAM(LanguageBarCombo::kComboId, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(Combo()));
            return;
        }
        ADD_FAILURE() << "no entry for the file";
    }
    std::wstring StoredLanguage()
    {
        wchar_t value[64] = {};
        ::GetPrivateProfileStringW(L"Settings", L"Language", L"", value, 64,
                                   temp.PathOf(L"program\\Settings.ini").c_str());
        return value;
    }

    CString before;
};

} // namespace

TEST_F(EditorLanguageBarTest, ComboShowsTheLanguageInUseAndAChoiceRetranslatesTheLinks)
{
    ASSERT_NE(nullptr, Combo());
    HWND links = frame->GetLanguageBar()->GetLinksToolBar().m_hWnd;
    ASSERT_NE(nullptr, links);

    // At start: the language of the settings, not the built-in English entry.
    EXPECT_EQ(L"Deutsch.lng", SelectedLanguage());
    wchar_t shown[128] = {};
    ::GetWindowTextW(Combo(), shown, 128);
    EXPECT_NE(std::wstring::npos, std::wstring(shown).find(L"Deutsch")) << "the combo shows it";
    EXPECT_EQ(L"Startseite", ReadButton(links, 32781).text);
    EXPECT_EQ(L"Facebook-Gruppe", ReadButton(links, LinksToolBar::kGroupCommand).text);

    // A language with the regional web pages: texts and the group button follow at once.
    Choose(L"Russian.lng");
    EXPECT_EQ(L"Russian.lng", SelectedLanguage());
    EXPECT_EQ(L"Russian.lng", StoredLanguage()) << "the settings file keeps the choice";
    EXPECT_EQ(L"Glavnaya", ReadButton(links, 32781).text);
    EXPECT_LT(::SendMessageW(links, TB_COMMANDTOINDEX, LinksToolBar::kGroupCommand, 0), 0);
    EXPECT_EQ(L"Gruppa VKontakte", ReadButton(links, LinksToolBar::kRegionalGroupCommand).text);

    // Back to the built-in English.
    Choose(L"");
    EXPECT_EQ(L"", SelectedLanguage());
    EXPECT_EQ(L"Home Page", ReadButton(links, 32781).text);
    EXPECT_EQ(L"Facebook Group", ReadButton(links, LinksToolBar::kGroupCommand).text);
}
