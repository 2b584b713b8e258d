// The texts the floating pane makes from history items: the short text of
// the selection, the save dialog's filters and names per item type, the day
// of a capture in local dates, and row and tip texts.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "menus/floatpane/FloatPaneTexts.h"

namespace
{
std::unique_ptr<CCHItem> TextItem(const std::wstring& text)
{
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    item->SetUnicodeText(text.c_str());
    return item;
}

std::unique_ptr<CCHItem> BytesItem(int type, const std::string& bytes)
{
    auto item = std::make_unique<CCHItem>(type, nullptr);
    item->SetDataCopy(bytes.c_str(), static_cast<unsigned>(bytes.size() + 1));
    return item;
}

SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 12)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    return time;
}
} // namespace

TEST(FloatPaneTexts, CleansTheShortTextOfTheSelection)
{
    const struct
    {
        const wchar_t* preview;
        const wchar_t* expected;
    } cases[] = {
        {L"short", L"short"},
        {L"\r\n\tleading breaks", L"leading breaks"},
        {L"??  question marks", L"question marks"},
        {L"a\tb    c   d  e", L"a b c d e"},
        {L"exactly twenty-five chars", L"exactly twenty-five chars"},
        // cut at the first blank at or after 25 ...
        {L"The quick brown fox jumps over the lazy dog", L"The quick brown fox jumps\x2026"},
        // ... unless that blank lies beyond 50: then at 25
        {L"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz tail", L"abcdefghijklmnopqrstuvwxy\x2026"},
        {L"abcdefghijklmnopqrstuvwxyz0", L"abcdefghijklmnopqrstuvwxy\x2026"},
        // a line break after 24 ends the text there, then the blank rule
        {L"first line is long enough here\nsecond", L"first line is long enough\x2026"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanSelectionShortText(c.preview), CString(c.expected)) << c.preview;
}

TEST(FloatPaneTexts, SelectionMenuTextCountsFurtherRows)
{
    EXPECT_EQ(MakeSelectionMenuText(L"abc", 1, L"x"), CString(L"  [abc]"));
    EXPECT_EQ(MakeSelectionMenuText(L"abc", 3, L"and 2 more"), CString(L"  [abc + and 2 more\x2026]"));
    EXPECT_EQ(MakeSelectionMenuText(L"", 3, L"and 2 more"), CString());
}

TEST(FloatPaneTexts, SaveDialogOffersTheFiltersAndNamesOfEachType)
{
    auto text = TextItem(L"Hello: world/<file>?");
    auto rtf = BytesItem(CHT_RTF, "{\\rtf1\\ansi Rich words}");
    auto clip = BytesItem(CHT_OVELLINE, "clip");
    auto bitmap = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    auto withHtml = TextItem(L"page text");
    withHtml->AddPart(BytesItem(CHT_HTML, "<html>x</html>").release());

    const struct
    {
        const CCHItem* item;
        const wchar_t* filter;
        const wchar_t* extension;
        bool html;
    } cases[] = {
        {text.get(), L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", L".txt", false},
        {rtf.get(), L"Formatted Text Files (*.rtf)|*.rtf|All Files (*.*)|*.*||", L".rtf", false},
        {clip.get(), L"Ovelline Documents (*.ovl)|*.ovl|All Files (*.*)|*.*||", L".ovl", false},
        {bitmap.get(), L"Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||", L".bmp", false},
        {withHtml.get(), L"HTML files (*.htm,*.html)|*.htm|Text Files (*.txt)|*.txt|All Files (*.*)|*.*||",
         L".htm", true},
    };
    for (const auto& c : cases) {
        const PaneSaveDialogSpec spec = MakeSaveDialogSpec(*c.item);
        EXPECT_EQ(spec.filter, CString(c.filter));
        EXPECT_EQ(spec.defaultExtension, CString(c.extension));
        EXPECT_EQ(spec.htmlFilter, c.html);
    }
    EXPECT_EQ(MakeSaveDialogSpec(*clip).suggestedName, CString(L"Ovelline_Document.ovl"));
    const CString name = MakeSaveDialogSpec(*text).suggestedName;
    EXPECT_FALSE(name.IsEmpty());
    EXPECT_LT(name.FindOneOf(L"\\/:*?\"<>|"), 0) << name.GetString();
    EXPECT_EQ(MakeSaveDialogSpec(*rtf).suggestedName, CString(L"Rich words"));
    EXPECT_LE(MakeSaveDialogSpec(*TextItem(std::wstring(80, L'w'))).suggestedName.GetLength(), 40);

    const std::wstring nul = MakeNulSeparatedFilter(L"A|*.a||");
    EXPECT_EQ(nul, std::wstring(L"A\0*.a\0\0", 7));
}

TEST(FloatPaneTexts, CaptureDayComparesLocalDates)
{
    const SYSTEMTIME now = Date(2026, 3, 1, 0);
    EXPECT_EQ(CaptureDayIndex(Date(2026, 3, 1, 0), now), 0);
    // just before local midnight of the day before: yesterday, whatever the time zone
    EXPECT_EQ(CaptureDayIndex(Date(2026, 2, 28, 23), now), 1);
    EXPECT_EQ(CaptureDayIndex(Date(2026, 2, 27, 1), now), 2);
    EXPECT_EQ(CaptureDayIndex(Date(2026, 2, 26, 23), now), -1);
    EXPECT_EQ(CaptureDayIndex(Date(2025, 12, 31), Date(2026, 1, 1)), 1) << "across the year";
    EXPECT_EQ(CaptureDayIndex(Date(2026, 3, 2), now), -1) << "a capture in the future";
}

TEST(FloatPaneTexts, RowAndTipTexts)
{
    EXPECT_EQ(MakePaneRowText(nullptr, 999), CString(L"ERROR"));
    EXPECT_STREQ(MakePaneRowText(TextItem(L"\tone\ntwo  three\r\n").get(), 999).GetString(),
                 L"one two three");
    EXPECT_EQ(MakePaneRowText(BytesItem(CHT_OVELLINE, "x").get(), 999), CString(L"{== Ovelline Data ==}"));

    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 640, 480);
    ReleaseDC(nullptr, screen);
    auto bitmap = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    bitmap->SetBitmap(picture);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    bitmap->SetTime(now);
    const CString block = MakeItemInfoBlock(*bitmap, now);
    EXPECT_GE(block.Find(L"640 x 480"), 0) << block.GetString();

    auto text = TextItem(L"line one\r\nline two");
    text->SetTime(now);
    text->SetUrl(L"http://example.test/page");
    text->GetOwnerInfo().windowTitle = L"Editor window";
    text->GetOwnerInfo().exePath = L"C:\\apps\\writer.exe";
    const CString tip = MakeItemTipText(*text, 4096);
    EXPECT_GE(tip.Find(L"URL: http://example.test/page"), 0) << tip.GetString();
    EXPECT_GE(tip.Find(L"[Editor window]"), 0);
    EXPECT_GE(tip.Find(L"[writer.exe]"), 0);
    EXPECT_GE(tip.Find(L"today"), 0) << "a capture of now is today";
    EXPECT_GE(tip.Find(L"line one\r\nline two"), 0) << "the preview keeps its line breaks";
    EXPECT_LE(MakeItemTipText(*text, 40).GetLength(), 39);
}

TEST(FloatPaneTexts, OvellineClipsShowTheirMetaInformation)
{
    const char meta[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                        "<OVL_DATA PID=\"1234\" DOC_ID=\"7\" Y=\"2026\" M=\"12\" D=\"10\" H=\"17\" Min=\"5\" S=\"9\" "
                        "OVL_Doc_Path_Title=\"C:\\Notes\\Plan.ovl\" Size=\"2048\">"
                        "<Nodes><Node>First node</Node></Nodes></OVL_DATA>";
    auto clip = std::make_unique<CCHItem>(CHT_OVELLINE, nullptr);
    const std::string data(2048, 'c');
    clip->SetDataCopy(data.data(), static_cast<unsigned>(data.size()));
    clip->SetOvlMetaInfoText(meta);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    clip->SetTime(now);

    EXPECT_EQ(std::wstring(MakePaneRowText(clip.get(), 999).GetString()), L"[Plan.ovl] [First node]");
    const std::wstring tip = MakeItemTipText(*clip, 4096).GetString();
    EXPECT_NE(tip.find(L"Copied From: [C:\\Notes\\Plan.ovl]"), std::wstring::npos) << "the long description";
    EXPECT_NE(tip.find(L"Ovelline Format"), std::wstring::npos) << "the format by its clipboard name";
    EXPECT_NE(tip.find(L"2.00 KB"), std::wstring::npos) << "the size as the shell writes it";

    auto plain = BytesItem(CHT_OVELLINE, "x");
    EXPECT_EQ(MakePaneRowText(plain.get(), 999), CString(L"{== Ovelline Data ==}"));
    auto broken = BytesItem(CHT_OVELLINE, "x");
    broken->SetOvlMetaInfoText("<not meta");
    EXPECT_EQ(MakePaneRowText(broken.get(), 999), CString(L"ERROR")) << "meta information that does not parse";
}

TEST(FloatPaneTexts, TheFormatLineNamesEachPartByItsClipboardFormat)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    auto item = TextItem(L"text");
    item->SetTime(now);
    item->AddPart(BytesItem(CHT_RTF, "{\\rtf1 text}").release());
    item->AddPart(BytesItem(CHT_HTML, "<p>text</p>").release());
    const std::wstring block = MakeItemInfoBlock(*item, now).GetString();
    const std::wstring firstLine = block.substr(0, block.find(L'\n'));
    EXPECT_NE(firstLine.find(L" (Unicode), RTF, HTML Format"), std::wstring::npos) << testing::PrintToString(firstLine);
}
