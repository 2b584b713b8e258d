// The editor's command runner: the command line it expands and the report it shows when a command
// cannot be started (through a recording box in place of the message box).

#include "editor/app/text/EditorCommandRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct ShownBox
{
    std::wstring text;
    std::wstring caption;
    UINT type;
};

} // namespace

TEST(EditorCommandRunner, ExpandsWithoutStarting)
{
    const CString expanded =
        ExpandCommand(nullptr, L"open %SELECTED_TEXT% %CLIPBOARD_TEXT%", L"two\r\nlines");
    EXPECT_STREQ(expanded, L"open two lines [Clipboard Content]");
}

TEST(EditorCommandRunner, AFailedStartIsReportedOnceWithTheEditorsText)
{
    std::vector<ShownBox> boxes;
    const CommandReportBox record = [&boxes](HWND, const CString& text, const CString& caption, UINT type) {
        boxes.push_back({text.GetString(), caption.GetString(), type});
    };
    const CString command = L"C:\\no such folder\\tool.exe %SELECTED_TEXT%";
    SetLastError(1234);
    EXPECT_FALSE(RunCommand(nullptr, command, 1, L"-x", L"", nullptr, record));
    EXPECT_EQ(GetLastError(), 1234u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Scrivolanter : RedodeZovuva");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONWARNING));
    const std::wstring expectedTail = L"\n\nCommand: C:\\no such folder\\tool.exe -x"
                                      L"\nSource Command: C:\\no such folder\\tool.exe %SELECTED_TEXT%"
                                      L"\n\nProcessed Command:\n" +
                                      std::wstring(30, L'\u2014') +
                                      L"\nPath: [C:\\no such folder\\tool.exe -x]\nCommand Line: []";
    ASSERT_GE(boxes[0].text.size(), expectedTail.size());
    EXPECT_EQ(boxes[0].text.substr(boxes[0].text.size() - expectedTail.size()), expectedTail)
        << boxes[0].text;

    // Mode 0 never reports.
    EXPECT_FALSE(RunCommand(nullptr, command, 0, L"", L"", nullptr, record));
    EXPECT_EQ(boxes.size(), 1u);
}
