// test-locks: desktop
#include "editor/controls/FileDialogEx.h"

#include "support/Dialogs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <atomic>
#include <string>
#include <thread>

namespace
{

// What the helper thread saw of the dialog before it answered it.
struct Seen
{
    std::wstring caption;
    std::wstring fileName;
};

// Waits for the dialog of this process, reads its caption and file name,
// then presses OK or Cancel.
std::thread Answer(Seen& seen, bool confirm, std::wstring typed = std::wstring())
{
    return std::thread([&seen, confirm, typed] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            std::vector<HWND> dialogs = scvtest::FindDialogs();
            if (!dialogs.empty())
                dialog = dialogs.front();
            else
                ::Sleep(50);
        }
        if (!dialog)
            return;
        ::Sleep(200); // let the dialog finish its initialisation
        seen.caption = scvtest::WindowCaption(dialog);
        wchar_t name[MAX_PATH] = {};
        for (int id : {cmb13, edt1}) {
            HWND item = ::GetDlgItem(dialog, id);
            if (item && ::GetWindowTextW(item, name, MAX_PATH) > 0)
                break;
        }
        seen.fileName = name;
        if (!typed.empty()) {
            for (int id : {cmb13, edt1}) {
                if (HWND item = ::GetDlgItem(dialog, id))
                    ::SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            }
        }
        ::PostMessageW(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
    });
}

} // namespace

TEST(FileDialogEx, CleansTheProposedNameAndSetsTheCaption)
{
    scvtest::TempFolder folder;
    std::wstring initial = folder.Path();
    if (!initial.empty() && initial.back() == L'\\')
        initial.pop_back();
    CFileDialogEx dialog(FALSE, L"txt", L"a:b/c?d.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         L"Text files|*.txt|All files|*.*|", nullptr, L"Export the phrases", initial.c_str());
    EXPECT_EQ(dialog.GetSelectedFolder(), initial + L"\\");
    Seen seen;
    std::thread helper = Answer(seen, true);
    INT_PTR result = dialog.DoModal();
    helper.join();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.caption, L"Export the phrases");
    EXPECT_EQ(seen.fileName, L"a_b_c_d.txt");
    std::wstring path = dialog.GetPathName();
    EXPECT_GE(path.size(), 11u);
    EXPECT_EQ(path.substr(path.size() - 11), L"a_b_c_d.txt");
    EXPECT_EQ(dialog.GetSelectedFolder().back(), L'\\');
}

TEST(FileDialogEx, UnreadableTitleKeepsTheSystemCaptionAndCancelIsReported)
{
    CFileDialogEx dialog(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, nullptr, nullptr,
                         reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(16)), nullptr);
    EXPECT_TRUE(dialog.Title().empty());
    EXPECT_EQ(dialog.m_ofn.nMaxFile, CFileDialogEx::kMultiSelectChars);
    EXPECT_EQ(dialog.GetSelectedFolder(), L"");
    Seen seen;
    std::thread helper = Answer(seen, false);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    helper.join();
    EXPECT_FALSE(seen.caption.empty());
}

TEST(FileDialogEx, SelectionTooLargeForTheBufferIsNotACancel)
{
    scvtest::TempFolder folder;
    const std::wstring name = L"a_rather_long_file_name_for_a_small_buffer.txt";
    HANDLE file =
        ::CreateFileW(folder.PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    CFileDialogEx dialog(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                         nullptr, nullptr, L"Import", folder.Path().c_str());
    dialog.m_ofn.nMaxFile = 20;
    Seen seen;
    std::thread helper = Answer(seen, true, name);
    INT_PTR result = dialog.DoModal();
    helper.join();
    EXPECT_EQ(result, CFileDialogEx::kResultBufferTooSmall);
}

TEST(FileDialogEx, NameCleaningTable)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* expected;
    } cases[] = {
        {L"plain.txt", L"plain.txt"},
        {L"a:b\\c/d?e\"f>g<h|i", L"a_b_c_d_e_f_g_h_i"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        wchar_t buffer[64] = {};
        lstrcpyW(buffer, c.name);
        CFileDialogEx::CleanFileName(buffer, 64);
        EXPECT_STREQ(buffer, c.expected);
    }
}
