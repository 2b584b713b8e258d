// Laying out HTML pages that are odd but possible, against a floor: measuring
// the same text once with GetTextExtentExPointW in the same run.
//
// Pages: a 100,000-character run without break characters and 100,000 nested
// <div> elements, both loaded into the HTML view (UTF-8 decoding, parse,
// styles, layout of the page's tree, placing); 100,000 nested <b> in tooltip
// markup, measured by the tooltip renderer; and the welcome page through the
// view, as shipped and repeated to about 1 MB, its style sheet handed to the
// view by the load callback as the welcome window does. The floor measures the page's
// visible text in the font most of it is drawn in (the renderer's body font,
// Verdana 13 pixels; bold 900 for the nested <b>). Prints min and median of
// both sides and the ratio of the medians, and for the view's pages and the
// tooltip markup where the time goes (medians of the steps of a reload).
//
// Usage: bench_html_layout.exe [rounds] [welcome page path]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"
#include "common/FileBytes.h"
#include "common/GdiObjectGuards.h"
#include "common/TextConversion.h"
#include "common/html/HtmlPage.h"
#include "common/html/HtmlRenderer.h"
#include "common/html/HtmlView.h"

namespace
{
constexpr int kCount = 100000;
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;
constexpr size_t kLargeWelcomeBytes = 1024 * 1024;
constexpr unsigned long long kLargestWelcomePage = 8 * 1024 * 1024;

struct Figures
{
    double min = 0;
    double median = 0;
};

Figures Summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return Figures{times.front(), times[times.size() / 2]};
}

Figures Time(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER start = bench::Now();
        work();
        times.push_back(bench::Milliseconds(start, bench::Now()));
    }
    return Summarise(times);
}

// The floor: the page's text measured once in the font it is drawn in.
class Floor
{
public:
    explicit Floor(int weight = FW_NORMAL)
    {
        m_dc = GetDC(nullptr);
        LOGFONTW font = {};
        font.lfHeight = 13;
        font.lfWeight = weight;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(font.lfFaceName, L"Verdana", LF_FACESIZE);
        m_font = CreateFontIndirectW(&font);
        m_old = SelectObject(m_dc, m_font);
    }
    ~Floor()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
        ReleaseDC(nullptr, m_dc);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    Figures Time(int rounds, const std::wstring& text) const
    {
        std::vector<int> extents(text.size() + 1, 0);
        return ::Time(rounds, [&] {
            SIZE size = {};
            GetTextExtentExPointW(m_dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr,
                                  extents.data(), &size);
        });
    }

private:
    HDC m_dc = nullptr;
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The visible text of a page, as the floor measures it.
std::wstring PageText(const std::wstring& page)
{
    html::HtmlPage parsed;
    parsed.Parse(page);
    return parsed.Root().InnerText();
}

// Answers the view's requests for style sheets with one sheet held in memory.
LRESULT CALLBACK HandStyleSheet(UINT code, LPVOID notification, LPVOID sheet)
{
    const auto* request = static_cast<const NMHL_LOAD_DATA*>(notification);
    if (code != HLN_LOAD_DATA || !request || request->dataType != HLRT_DATA_STYLE || !sheet)
        return 0;
    const std::string& bytes = *static_cast<const std::string*>(sheet);
    HTMLayoutDataReady(request->hdr.hwndFrom, request->uri, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    return 0;
}

// `sheet`: the style sheet the page's links get, when it has one.
Figures TimeView(int rounds, const std::wstring& page, const std::string* sheet = nullptr)
{
    HWND view = CreateWindowExW(0, HTMLayoutClassNameW(), L"", WS_POPUP, 0, 0, kViewWidth, kViewHeight,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!view) {
        std::printf("the HTML view could not be created (error %lu)\n", GetLastError());
        return Figures{};
    }
    if (sheet)
        HTMLayoutSetCallback(view, HandStyleSheet, const_cast<std::string*>(sheet));
    const std::string bytes = WideToUtf8(page.c_str());
    Figures figures = Time(rounds, [&] {
        if (!HTMLayoutLoadHtml(view, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<UINT>(bytes.size())))
            std::printf("the page did not load\n");
    });
    DestroyWindow(view);
    return figures;
}

Figures TimeTooltip(int rounds, const std::wstring& markup)
{
    HDC dc = GetDC(nullptr);
    HtmlRenderer renderer;
    renderer.maxWidth = kViewWidth;
    Figures figures = Time(rounds, [&] { renderer.Measure(dc, markup); });
    ReleaseDC(nullptr, dc);
    return figures;
}

std::wstring Repeat(const std::wstring& piece, int count)
{
    std::wstring text;
    text.reserve(piece.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

// The welcome page with its body repeated until the page holds `bytes`.
std::wstring EnlargedWelcomePage(const std::wstring& page, size_t bytes)
{
    const size_t bodyStart = page.find(L"<body>");
    const size_t bodyEnd = page.find(L"</body>");
    if (bodyStart == std::wstring::npos || bodyEnd == std::wstring::npos || bodyEnd <= bodyStart + 6)
        return page;
    const std::wstring body = page.substr(bodyStart + 6, bodyEnd - bodyStart - 6);
    std::wstring enlarged = page.substr(0, bodyStart + 6);
    while (enlarged.size() < bytes)
        enlarged += body;
    return enlarged + page.substr(bodyEnd);
}

// The page's walk alone, handed to a sink that does nothing: the share of
// the layout that is the page's own (styles, blanks, markers).
class IdleSink : public html::PageSink
{
public:
    void Break() override {}
    void Rule(html::PageElement&) override {}
    void OpenAlign(int) override {}
    void CloseAlign() override {}
    void OpenMarker(int) override {}
    void CloseMarker() override {}
    void OpenLink(int) override {}
    void CloseLink() override {}
    void Text(const std::wstring&, const html::ComputedStyle*, html::PageElement&) override {}
    void Picture(HBITMAP, html::PageElement&) override {}
    void OpenTable(html::PageElement&) override {}
    void OpenRow() override {}
    void OpenCell(html::PageElement&) override {}
    void CloseCell() override {}
    void CloseTable() override {}
};

constexpr int kStepRounds = 5;

// The times of the steps of a piece of work, one round after another; prints
// the median of each.
class StepTimes
{
public:
    explicit StepTimes(std::vector<const char*> names) : m_names(std::move(names)), m_times(m_names.size()) {}

    // One round: `marks` are the moments the round started and each step ended.
    void Add(const std::vector<LARGE_INTEGER>& marks)
    {
        for (size_t i = 0; i + 1 < marks.size() && i < m_times.size(); ++i)
            m_times[i].push_back(bench::Milliseconds(marks[i], marks[i + 1]));
    }
    double Median(size_t step) const { return step < m_times.size() ? Summarise(m_times[step]).median : 0; }
    void Print() const
    {
        std::printf("%-44s", "  steps (medians):");
        for (size_t i = 0; i < m_names.size(); ++i)
            std::printf("%s %s %.2f ms", i == 0 ? "" : ",", m_names[i], Median(i));
        std::printf("\n");
        std::fflush(stdout);
    }

private:
    std::vector<const char*> m_names;
    std::vector<std::vector<double>> m_times;
};

// Where the view's time goes when it loads a page again: parsing the page,
// its walk, laying its tree out (walk included) and placing the layout, with
// the same page and renderer from round to round, as the view keeps them.
// Then the same time split into phases: parse, styles and walk, lines (the
// layout past the walk), placing, and the view's own (`viewMedian`, the
// view's median load, less the steps: decoding, controls, scroll bar).
void ReportSteps(const std::wstring& page, double viewMedian, const std::string& sheet = std::string())
{
    const std::wstring sheetText = static_cast<LPCWSTR>(Utf8ToWide(sheet.c_str()));
    // Measured in a memory device context kept from round to round, as the view measures.
    MemoryDC measuring(nullptr);
    HDC dc = measuring.get();
    html::HtmlPage parsed;
    HtmlRenderer renderer;
    renderer.maxWidth = kViewWidth;
    StepTimes steps({"page parse", "walk alone", "layout (walk included)", "placing"});
    for (int i = 0; i < kStepRounds; ++i) {
        renderer.Forget();
        std::vector<LARGE_INTEGER> marks{bench::Now()};
        parsed.Parse(page);
        if (!sheetText.empty())
            parsed.AddStyleSheet(sheetText);
        marks.push_back(bench::Now());
        IdleSink idle;
        parsed.Walk(idle, nullptr);
        marks.push_back(bench::Now());
        renderer.MeasurePage(dc, parsed, nullptr);
        marks.push_back(bench::Now());
        renderer.Place(RECT{0, 0, kViewWidth, kViewHeight});
        marks.push_back(bench::Now());
        steps.Add(marks);
    }
    steps.Print();
    const double parse = steps.Median(0);
    const double walk = steps.Median(1);
    const double layout = steps.Median(2);
    const double placing = steps.Median(3);
    std::printf("%-44s parse %.2f ms, styles and walk %.2f ms, lines %.2f ms, placing %.2f ms, view's own "
                "%.2f ms\n",
                "  phases of a load:", parse, walk, layout - walk, placing,
                viewMedian - parse - layout - placing);
    std::fflush(stdout);
}

// Where the tooltip renderer's time goes: preparing the markup, parsing it
// and measuring it (preparing and parsing included). Preparing and parsing
// go as the renderer does them: into a buffer kept from round to round, the
// body parsed from the prepared text itself.
void ReportTooltipSteps(const std::wstring& markup)
{
    HDC dc = GetDC(nullptr);
    html::HtmlDocument document;
    HtmlRenderer renderer;
    renderer.maxWidth = kViewWidth;
    StepTimes steps({"markup prepared", "parse", "measure (all included)"});
    std::wstring prepared;
    for (int i = 0; i < kStepRounds; ++i) {
        std::vector<LARGE_INTEGER> marks{bench::Now()};
        html::PrepareMarkup(markup, prepared);
        marks.push_back(bench::Now());
        document.ParseBody(prepared);
        marks.push_back(bench::Now());
        renderer.Measure(dc, markup);
        marks.push_back(bench::Now());
        steps.Add(marks);
    }
    ReleaseDC(nullptr, dc);
    steps.Print();
}

void Report(const char* name, size_t characters, const Figures& ours, const Figures& floor)
{
    const double ratio = floor.median > 0 ? ours.median / floor.median : 0;
    std::printf("%-44s %9zu chars  ours min %9.3f ms median %9.3f ms  floor min %7.3f ms median %7.3f ms  "
                "ratio %6.2f\n",
                name, characters, ours.min, ours.median, floor.min, floor.median, ratio);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::wstring welcomePath =
        argc > 2 ? std::wstring(static_cast<LPCWSTR>(Utf8ToWide(argv[2]))) : std::wstring(SCV_WELCOME_PAGE);
    std::printf("HTML layout, %d rounds each (view %d x %d)\n", rounds, kViewWidth, kViewHeight);
    Floor floor;

    const std::wstring run(kCount, L'a');
    const std::wstring runPage = L"<html><body><p>" + run + L"</p></body></html>";
    const Figures runView = TimeView(rounds, runPage);
    Report("run of 100,000 characters without breaks", run.size(), runView,
           floor.Time(rounds, PageText(runPage)));
    ReportSteps(runPage, runView.median);

    const std::wstring divPage =
        L"<html><body>" + Repeat(L"<div>x", kCount) + Repeat(L"</div>", kCount) + L"</body></html>";
    const std::wstring divText = PageText(divPage);
    const Figures divView = TimeView(rounds, divPage);
    Report("100,000 nested <div>", divText.size(), divView, floor.Time(rounds, divText));
    ReportSteps(divPage, divView.median);

    const std::wstring boldMarkup = Repeat(L"<b>x", kCount) + Repeat(L"</b>", kCount);
    const std::wstring boldText(kCount, L'x');
    Report("100,000 nested <b> (tooltip markup)", boldText.size(), TimeTooltip(rounds, boldMarkup),
           Floor(FW_HEAVY).Time(rounds, boldText));
    ReportTooltipSteps(boldMarkup);

    std::string welcomeBytes;
    ReadFileBytesBounded(welcomePath.c_str(), kLargestWelcomePage, welcomeBytes);
    std::string welcomeSheet;
    ReadFileBytesBounded(SCV_WELCOME_STYLE, kLargestWelcomePage, welcomeSheet);
    const std::wstring welcome = static_cast<LPCWSTR>(Utf8ToWide(welcomeBytes.c_str()));
    if (welcome.empty()) {
        std::printf("the welcome page could not be read\n");
        return 1;
    }
    const int welcomeRounds = std::max(rounds, 100);
    const std::wstring welcomeText = PageText(welcome);
    const Figures welcomeView = TimeView(welcomeRounds, welcome, &welcomeSheet);
    Report("welcome page (as shipped)", welcomeText.size(), welcomeView,
           floor.Time(welcomeRounds, welcomeText));
    ReportSteps(welcome, welcomeView.median, welcomeSheet);
    const std::wstring large = EnlargedWelcomePage(welcome, kLargeWelcomeBytes);
    const std::wstring largeText = PageText(large);
    const Figures largeView = TimeView(rounds, large, &welcomeSheet);
    Report("welcome page, body repeated to 1 MB", largeText.size(), largeView, floor.Time(rounds, largeText));
    ReportSteps(large, largeView.median, welcomeSheet);
    return 0;
}
